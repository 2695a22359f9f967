#include "app/qt/ParameterPanels.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QToolButton>

#include "app/qt/FieldBinding.h"
#include "app/qt/SessionBinding.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

const QString kOutlierHint = QStringLiteral(
    "Power of outlier removing algorithm. Smaller number means more efficient smoothing. s>2 means a number of SD "
    "out of the mean of the two neigbours to be considered as an outlier. s<2 additionally forces the zero values "
    "to be replaced by a mean of the neigbours. s<1.5 additionally forces smoothing with (1,2,1) weighted sliding "
    "average.");

QGroupBox* Panel(QWidget* parent, const char* name, const QString& title) {
    auto* panel = new QGroupBox(title, parent);
    Name(panel, name, title);
    auto* grid = new QGridLayout(panel);
    grid->setHorizontalSpacing(4);
    return panel;
}

QGridLayout& Grid(QGroupBox* panel) { return *static_cast<QGridLayout*>(panel->layout()); }

}  // namespace

TParameterPanels::TParameterPanels(TSessionBinding& binding, QWidget* parent) : QWidget(parent), binding_(binding) {
    auto* fields = new TFieldBinder(binding, this);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Corrections(*fields));
    layout->addWidget(FlowTube(*fields));
    layout->addWidget(IsotopeRatio(*fields));
    connect(&binding, &TSessionBinding::ModesChanged, this, &TParameterPanels::ModesChanged);
    ModesChanged();
}

QGroupBox* TParameterPanels::Corrections(TFieldBinder& fields) {
    pnCorrections_ = Panel(this, "pnCorrections", QStringLiteral("Corrections"));
    QGridLayout& grid = Grid(pnCorrections_);
    fields.Add(grid, 0, 0, TFieldId::feDeadT, QStringLiteral("dt (us)"), QStringLiteral("dead time"));
    fields.Add(grid, 1, 0, TFieldId::feFilterOutliers, QStringLiteral("s"), kOutlierHint);
    fields.Add(grid, 0, 1, TFieldId::feDe200, QStringLiteral("De200"));
    fields.Add(grid, 1, 1, TFieldId::feMr200, QStringLiteral("Mr200"));
    fields.Add(grid, 0, 2, TFieldId::feDf73, QStringLiteral("Df73"));
    return pnCorrections_;
}

QGroupBox* TParameterPanels::FlowTube(TFieldBinder& fields) {
    pnPPB_ = Panel(this, "pnPPB", QStringLiteral("Flow tube"));
    QGridLayout& grid = Grid(pnPPB_);
    fields.Add(grid, 0, 0, TFieldId::fefr, QStringLiteral("fr:"), QStringLiteral("sample flow"));
    fields.Add(grid, 1, 0, TFieldId::feTg, QStringLiteral("Tg:"), QStringLiteral("gas temperature, K"));
    fields.Add(grid, 0, 1, TFieldId::feD, QStringLiteral("D:"), QStringLiteral("flow-tube diameter, cm"));
    fields.Add(grid, 1, 1, TFieldId::felr, QStringLiteral("l:"), QStringLiteral("reaction length, cm"));
    return pnPPB_;
}

QGroupBox* TParameterPanels::IsotopeRatio(TFieldBinder& fields) {
    pnLIR_ = Panel(this, "pnLIR", QStringLiteral("Isotope ratio"));
    QGridLayout& grid = Grid(pnLIR_);
    fields.Add(grid, 0, 0, TFieldId::feR2, QStringLiteral("R2"), QStringLiteral("17O abundance"));
    fields.Add(grid, 1, 0, TFieldId::feR3, QStringLiteral("R3"), QStringLiteral("18O abundance"));
    fields.Add(grid, 0, 1, TFieldId::feb74, QStringLiteral("b74"), QStringLiteral("background 74 "));
    fields.Add(grid, 1, 1, TFieldId::feb75, QStringLiteral("b75"), QStringLiteral("background 75"));
    fields.Add(grid, 0, 2, TFieldId::feliq, QStringLiteral("liq"), QStringLiteral("vap/liq partition"));
    btnNormId_ = new QToolButton(pnLIR_);
    btnNormId_->setText(QStringLiteral("Normalise to Id"));
    btnNormId_->setCheckable(true);
    Name(btnNormId_, "btnNormId", QStringLiteral("Normalise to Id"));
    grid.addWidget(btnNormId_, 1, 4, 1, 2);
    connect(btnNormId_, &QToolButton::clicked, this,
            [this] {
                binding_.Run([](TKelViewSession& session) { session.btnNormIdClick(); });
                ModesChanged();  // the button says what the session holds, also after a failure
            });
    return pnLIR_;
}

void TParameterPanels::ModesChanged() {
    const TKelViewSession& session = binding_.Session();
    pnCorrections_->setVisible(session.CorrectDown());
    pnPPB_->setVisible(session.PpbDown());
    pnLIR_->setVisible(session.IsotopeDown());
    btnNormId_->setChecked(session.NormIdDown());
}

}  // namespace kel
