#include "plot/qt/AxesDlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "plot/qt/FloatEdit.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

TFloatEdit* RangeField(QWidget* parent, const char* name, const QString& label) {
    auto* field = new TFloatEdit(parent);
    field->Configure(-1e99, 1e99);
    field->SetSpinButton(true);
    field->setMinimumWidth(110);
    Name(field, name, label);
    return field;
}

QLabel* Caption(QWidget* parent, const char* name, const QString& text, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    return label;
}

}  // namespace

TAxesDlg::TAxesDlg(TAxesTarget& target, QWidget* parent) : QDialog(parent), Graph(target) {
    setObjectName(QStringLiteral("TAxesDlg"));
    setWindowTitle(QStringLiteral("Axes"));
    auto* bevel = new QFrame(this);
    Name(bevel, "Bevel1", QStringLiteral("Axes"));
    bevel->setFrameShape(QFrame::StyledPanel);
    FE1 = RangeField(bevel, "FE1", QStringLiteral("X min:"));
    FE2 = RangeField(bevel, "FE2", QStringLiteral("X max:"));
    FE3 = RangeField(bevel, "FE3", QStringLiteral("Y min:"));
    FE4 = RangeField(bevel, "FE4", QStringLiteral("Y max:"));
    CB1 = new QCheckBox(QStringLiteral("Log10 :"), bevel);
    Name(CB1, "CB1", QStringLiteral("Log10 :"));
    CB1->setLayoutDirection(Qt::RightToLeft);  // the caption left of the box
    CB2 = new QCheckBox(QStringLiteral("Log10"), bevel);
    Name(CB2, "CB2", QStringLiteral("Log10"));

    auto* grid = new QGridLayout(bevel);
    grid->addWidget(Caption(bevel, "Label5", QStringLiteral("X axis"), true), 0, 0);
    grid->addWidget(Caption(bevel, "Label1", QStringLiteral("X min:")), 0, 1);
    grid->addWidget(FE1, 0, 2);
    grid->addWidget(Caption(bevel, "Label2", QStringLiteral("X max:")), 0, 3);
    grid->addWidget(FE2, 0, 4);
    grid->addWidget(CB1, 0, 5);
    grid->addWidget(Caption(bevel, "Label6", QStringLiteral("Y axis"), true), 1, 0);
    grid->addWidget(Caption(bevel, "Label3", QStringLiteral("Y min:")), 1, 1);
    grid->addWidget(FE3, 1, 2);
    grid->addWidget(Caption(bevel, "Label4", QStringLiteral("Y max:")), 1, 3);
    grid->addWidget(FE4, 1, 4);
    grid->addWidget(CB2, 1, 5);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Name(Button1, "Button1", QStringLiteral("OK"));
    Button1->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    Name(btnCancel, "btnCancel", QStringLiteral("Cancel"));
    BtnShowAll = new QPushButton(style()->standardIcon(QStyle::SP_BrowserReload), QStringLiteral("Show all"), this);
    Name(BtnShowAll, "BtnShowAll", QStringLiteral("Show all"));
    BtnShowAll->setAutoDefault(false);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BtnShowAll, &QPushButton::clicked, this, &TAxesDlg::BtnShowAllClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnShowAll);
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bevel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // a fixed dialog border
}

void TAxesDlg::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TAxesDlg::FormShow() { ShowAxes(Graph.Axes()); }

void TAxesDlg::ShowAxes(const TAxesState& axes) {
    // A range beyond the fields' +-1e99 leaves the field as it was.
    FE1->SetValue(axes.xmin);
    FE2->SetValue(axes.xmax);
    FE3->SetValue(axes.Ymin);
    FE4->SetValue(axes.Ymax);
    CB1->setChecked(axes.XLog);
    CB2->setChecked(axes.YLog);
}

void TAxesDlg::BtnShowAllClick() {
    ShowAxes(Graph.ShowAll(CB1->isChecked(), CB2->isChecked()));
    // The graph has changed already; closing without OK keeps that.
    btnCancel->setText(QStringLiteral("&Close"));
    btnCancel->setAccessibleName(QStringLiteral("Close"));
}

void TAxesDlg::done(int result) {
    if (result == QDialog::Accepted)
        Graph.Apply({FE1->Value(), FE2->Value(), FE3->Value(), FE4->Value(), CB1->isChecked(), CB2->isChecked()});
    QDialog::done(result);
}

bool ShowAxesDialog(TAxesTarget& target, QWidget* parent) {
    TAxesDlg dialog(target, parent);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace kel
