#include "app/qt/GraphPanel.h"

#include <QHBoxLayout>

#include "app/qt/SessionBinding.h"
#include "plot/qt/WidgetNames.h"
#include "plot/qt/XYGraphBox.h"

namespace kel {

namespace {

constexpr int kPanel3Width = 169;

}  // namespace

TGraphPanel::TGraphPanel(TSessionBinding& binding, QWidget* parent) : QWidget(parent), binding_(binding) {
    // The controls show the session's graphs, which report their changes as
    // the session's plot changes; the session itself is changed only
    // through commands.
    panel3_ = new QWidget(this);
    Name(panel3_, "Panel3", QStringLiteral("Ion averages"));
    panel3_->setFixedWidth(kPanel3Width);
    box2_ = new TXYGraphBox(panel3_, &binding.DrawingGraph(2));
    Name(box2_, "XYGraphBox2", QStringLiteral("Ion averages of the window"));
    box2_->SetSelect(xsRectangle);
    box2_->SetColorBox(binding.Session().BoxColor());
    auto* side = new QHBoxLayout(panel3_);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(box2_);

    box1_ = new TXYGraphBox(this, &binding.DrawingGraph(1));
    Name(box1_, "XYGraphBox1", QStringLiteral("Time profiles"));
    box1_->SetSelect(xsVertical);
    box1_->SetAnimated(true);
    box1_->SetColorBox(binding.Session().BoxColor());
    box1_->setFocusPolicy(Qt::StrongFocus);
    box1_->setMinimumSize(320, 200);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(panel3_);
    layout->addWidget(box1_, 1);

    connect(box1_, &TXYGraphBox::Tool, this, [this](Qt::KeyboardModifiers, int x0, int y0, int x1, int y1) {
        binding_.Run([=](TKelViewSession& session) { session.MainGraphTool(x0, y0, x1, y1); });
    });
    connect(box1_, &TXYGraphBox::DoubleClicked, this,
            [this] { binding_.Run([](TKelViewSession& session) { session.ShowAllClick(); }); });
    connect(box1_, &TXYGraphBox::Resized, this,
            [this] { binding_.Run([](TKelViewSession& session) { session.MainGraphResized(); }); });
    ConnectView();
    connect(&binding, &TSessionBinding::SelectionChanged, this, &TGraphPanel::SelectionChanged);
    connect(&binding, &TSessionBinding::PlotChanged, this, &TGraphPanel::PlotChanged);
    connect(&binding, &TSessionBinding::ModesChanged, this, &TGraphPanel::ModesChanged);
    SelectionChanged();
    ModesChanged();
    PlotChanged();
}

void TGraphPanel::SetPopupMenu(QMenu* menu) { box1_->SetPopupMenu(menu); }

void TGraphPanel::SelectionChanged() {
    const auto& selection = binding_.Session().Selection();
    box1_->SetSelection(0, selection[0]);
    box1_->SetSelection(1, selection[1]);
}

void TGraphPanel::PlotChanged() {
    // Every change of either graph arrives here; the band follows the axes,
    // which a plot change may have moved.
    box1_->RequestRepaint();
    box2_->RequestRepaint();
    // What the picture says, for those who cannot see it.
    const QString description = QString::fromStdString(binding_.Session().GraphDescription());
    if (box1_->accessibleDescription() != description) box1_->setAccessibleDescription(description);
    // A zoom moves other points under a cursor that stood still.
    if (cursorOver_) ShowReadout();
}

void TGraphPanel::ModesChanged() {
    panel3_->setVisible(binding_.Session().SidePanelVisible());
    if (cursorOver_) ShowReadout();
}

}  // namespace kel
