#include "app/qt/CurvesPanel.h"

#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/qt/SessionBinding.h"
#include "plot/qt/QtCanvas.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

constexpr int kSwatchSide = 12;

}  // namespace

TCurvesPanel::TCurvesPanel(TSessionBinding& binding, QWidget* parent)
    : QDockWidget(QStringLiteral("Curves"), parent), binding_(binding) {
    setObjectName(QStringLiteral("CurvesPanel"));
    setAccessibleName(QStringLiteral("Curves"));
    auto* body = new QWidget(this);
    auto* layout = new QVBoxLayout(body);
    layout->setContentsMargins(4, 4, 4, 4);
    list_ = new QListWidget(body);
    Name(list_, "CurvesList", QStringLiteral("Curves shown"));
    layout->addWidget(list_, 1);
    auto* note = new QLabel(QStringLiteral("Hidden curves are still in results, logs and batch outputs."), body);
    note->setWordWrap(true);
    Name(note, "CurvesNote", note->text());
    layout->addWidget(note);
    setWidget(body);
    hide();

    connect(list_, &QListWidget::itemChanged, this, &TCurvesPanel::ItemChanged);
    // The list follows every rebuild (another profile or mode) and every
    // window calculation (the means).
    connect(&binding, &TSessionBinding::PlotChanged, this, &TCurvesPanel::Refill);
    connect(&binding, &TSessionBinding::ResultsChanged, this, &TCurvesPanel::Refill);
    Refill();
}

void TCurvesPanel::Refill() {
    const std::vector<TCurveEntry> curves = binding_.Session().CurveList();
    // Refilling must not read as the user ticking items.
    const QSignalBlocker blocker(list_);
    // The same curves are updated in place: a tick re-reads the list while
    // its item still reports the change.
    bool same = list_->count() == static_cast<int>(curves.size());
    for (int i = 0; same && i < list_->count(); ++i)
        same = list_->item(i)->data(Qt::UserRole).toString().toStdString() == curves[static_cast<std::size_t>(i)].Name;
    if (!same) list_->clear();
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const TCurveEntry& curve = curves[i];
        const QString name = QString::fromStdString(curve.Name);
        QString text = name;
        if (!curve.MeanText.empty()) text += QStringLiteral("   ") + QString::fromStdString(curve.MeanText);
        QListWidgetItem* item = same ? list_->item(static_cast<int>(i)) : new QListWidgetItem(list_);
        QPixmap swatch(kSwatchSide, kSwatchSide);
        swatch.fill(ToQColor(curve.Color));
        item->setIcon(QIcon(swatch));
        item->setText(text);
        item->setData(Qt::UserRole, name);
        item->setData(Qt::AccessibleTextRole, name);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(curve.Hidden ? Qt::Unchecked : Qt::Checked);
    }
}

void TCurvesPanel::ItemChanged(QListWidgetItem* item) {
    const std::string name = item->data(Qt::UserRole).toString().toStdString();
    const bool hidden = item->checkState() != Qt::Checked;
    binding_.Run([&](TKelViewSession& session) { session.SetCurveHidden(name, hidden); });
}

}  // namespace kel
