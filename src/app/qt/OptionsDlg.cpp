#include "app/qt/OptionsDlg.h"

#include <QButtonGroup>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>
#include <string>

#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

namespace {

// The items of the sensitivity group, in the order of SensitMode's values.
constexpr const char* kSensitivityItems[] = {"cps / ppb", "ppb / cps", "LOD ppb / integration", "LOD ppb / point",
                                             "none"};

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, const QString& accessible) {
    auto* button = new QPushButton(caption, parent);
    Name(button, name, accessible);
    return button;
}

}  // namespace

TVANTOROptionsDlg::TVANTOROptionsDlg(TSessionBinding& binding, QWidget* parent)
    : QDialog(parent), binding_(binding) {
    setObjectName(QStringLiteral("TVANTOROptionsDlg"));
    setWindowTitle(QStringLiteral("VANTOR options"));
    setModal(true);

    PageControl1 = new QTabWidget(this);
    Name(PageControl1, "PageControl1", QStringLiteral("VANTOR options"));
    PageControl1->addTab(DisplayPage(), QStringLiteral("Display"));
    PageControl1->addTab(KineticsPage(), QStringLiteral("Kinetic library"));
    auto* advanced = new QWidget(PageControl1);
    Name(advanced, "tsAdvanced", QStringLiteral("Advanced"));
    PageControl1->addTab(advanced, QStringLiteral("Advanced"));

    btOK = Button(this, "btOK", QStringLiteral("OK"), QStringLiteral("OK"));
    btOK->setDefault(true);
    btCancel = Button(this, "btCancel", QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    btApply = Button(this, "btApply", QStringLiteral("&Apply"), QStringLiteral("Apply"));
    btHelp = Button(this, "btHelp", QStringLiteral("&Help"), QStringLiteral("Help"));
    btHelp->hide();  // there is no help to show yet
    connect(btOK, &QPushButton::clicked, this, [this] {
        ApplyClick();
        accept();
    });
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btApply, &QPushButton::clicked, this, &TVANTOROptionsDlg::ApplyClick);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btHelp);
    buttons->addStretch(1);
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    buttons->addWidget(btApply);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(buttons);
    resize(420, 360);
}

QWidget* TVANTOROptionsDlg::DisplayPage() {
    auto* page = new QWidget(PageControl1);
    Name(page, "tsDisplay", QStringLiteral("Display"));
    auto* box = new QGroupBox(QStringLiteral("Sensitivity indicators"), page);
    Name(box, "gbSensitivity", QStringLiteral("Sensitivity indicators"));
    rgSensitivity = new QButtonGroup(box);
    rgSensitivity->setObjectName(QStringLiteral("rgSensitivity"));
    auto* items = new QVBoxLayout(box);
    int mode = 0;
    for (const char* text : kSensitivityItems) {
        const QString caption = QString::fromLatin1(text);
        auto* item = new QRadioButton(caption, box);
        Name(item, ("rbSensitivity" + std::to_string(mode)).c_str(), caption);
        rgSensitivity->addButton(item, mode++);
        items->addWidget(item);
    }
    rgSensitivity->button(0)->setChecked(true);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(box);
    layout->addStretch(1);
    return page;
}

QWidget* TVANTOROptionsDlg::KineticsPage() {
    auto* page = new QWidget(PageControl1);
    Name(page, "tsKinetics", QStringLiteral("Kinetic library"));
    auto* label = new QLabel(QStringLiteral("Main kinetic library"), page);
    label->setObjectName(QStringLiteral("lbKbase"));
    edKbase = new QLineEdit(QStringLiteral("H3op.txt"), page);
    Name(edKbase, "edKbase", QStringLiteral("Main kinetic library"));
    edKbase->setReadOnly(true);  // chosen with the browse button only
    label->setBuddy(edKbase);
    btBrowseKbase = new QPushButton(style()->standardIcon(QStyle::SP_DirOpenIcon), QString(), page);
    Name(btBrowseKbase, "btBrowseKbase", QStringLiteral("Browse for the main kinetic library"));
    btBrowseKbase->setToolTip(QStringLiteral("Browse for the main kinetic library"));
    btBrowseKbase->setAutoDefault(false);
    connect(btBrowseKbase, &QPushButton::clicked, this, &TVANTOROptionsDlg::BrowseKbaseClick);
    connect(edKbase, &QLineEdit::textChanged, this, [this](const QString& file) {
        if (PreviewKbase) PreviewKbase(file, *pnKbasePreview);
    });

    // Empty until the compound view of the chosen file docks here.
    auto* preview = new QFrame(page);
    preview->setFrameShape(QFrame::StyledPanel);
    Name(preview, "pnKbasePreview", QStringLiteral("Compounds of the kinetic library"));
    pnKbasePreview = preview;

    auto* file = new QHBoxLayout;
    file->addWidget(edKbase, 1);
    file->addWidget(btBrowseKbase);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(label);
    layout->addLayout(file);
    layout->addWidget(pnKbasePreview, 1);
    return page;
}

void TVANTOROptionsDlg::showEvent(QShowEvent* event) {
    FormShow();
    QDialog::showEvent(event);
}

void TVANTOROptionsDlg::FormShow() {
    edKbase->setText(QString::fromStdString(KineticsFileName()));
    if (QAbstractButton* item = rgSensitivity->button(binding_.Session().SensitMode())) item->setChecked(true);
}

void TVANTOROptionsDlg::ApplyClick() {
    const std::string file = edKbase->text().toStdString();
    const int mode = rgSensitivity->checkedId();
    binding_.Run([&file, mode](TKelViewSession& session) { session.ApplyOptions(file, mode); });
    FormShow();
}

void TVANTOROptionsDlg::BrowseKbaseClick() {
    const QString chosen = QFileDialog::getOpenFileName(this, QStringLiteral("Main kinetic library"),
                                                        QFileInfo(edKbase->text()).absolutePath(),
                                                        QStringLiteral("Text files (*.txt)"));
    if (!chosen.isEmpty()) edKbase->setText(chosen);
}

}  // namespace kel
