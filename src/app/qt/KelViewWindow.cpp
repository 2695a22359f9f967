#include "app/qt/KelViewWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/qt/AboutBox.h"
#include "app/qt/CurvesPanel.h"
#include "app/qt/ExportCommands.h"
#include "app/qt/GraphOutput.h"
#include "app/qt/GraphPanel.h"
#include "app/qt/MainCommands.h"
#include "app/qt/OptionsDlg.h"
#include "app/qt/ParameterPanels.h"
#include "app/qt/ProfileFollower.h"
#include "app/qt/RecentMenu.h"
#include "app/qt/ResultsText.h"
#include "app/qt/SessionAxesTarget.h"
#include "app/qt/SessionBinding.h"
#include "app/qt/TopPanel.h"
#include "app/qt/WindowState.h"
#include "plot/qt/AxesDlg.h"
#include "plot/qt/WidgetNames.h"

namespace kel {

TFKelView::TFKelView(TKelViewSession& session, SettingsStore& store) : store_(store) {
    setObjectName(QStringLiteral("TFKelView"));
    setWindowTitle(QStringLiteral("Multi Ion Profile"));
    binding_ = new TSessionBinding(session, this);
    new TProfileFollower(*binding_);

    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(4, 2, 4, 0);
    layout->setSpacing(2);
    top_ = new TTopPanel(*binding_, client, new TParameterPanels(*binding_, client));
    layout->addWidget(top_);
    split_ = new QSplitter(Qt::Vertical, client);
    split_->setObjectName(QStringLiteral("SplitterResults"));
    graphs_ = new TGraphPanel(*binding_, split_);
    split_->addWidget(graphs_);
    split_->addWidget(new TResultsText(*binding_, split_));
    split_->setStretchFactor(0, 3);
    split_->setStretchFactor(1, 1);
    split_->setChildrenCollapsible(false);
    layout->addWidget(split_, 1);
    setCentralWidget(client);
    curves_ = new TCurvesPanel(*binding_, this);
    addDockWidget(Qt::RightDockWidgetArea, curves_);
    exports_ = new TExportCommands(*binding_, *graphs_->XYGraphBox1(), *this);

    TMainCommands::TWindowCommands commands;
    commands.OpenProfile = [this] { OpenProfileClick(); };
    commands.Axes = [this] { AxesClick(); };
    commands.CopyPicture = [this] { binding_->Run([](TKelViewSession& s) { s.btCopyClick(); }); };
    commands.Print = [this] { btPrintClick(*this); };
    commands.Options = [this] { Options1Click(); };
    commands.About = [this] { About1Click(this); };
    commands.CopyData = [this] { CopyDataClick(); };
    commands.Save = [this] { btSaveMSClick(); };
    commands.ExportImage = [this] { exports_->ExportImageClick(); };
    commands.ExportData = [this] { exports_->ExportDataClick(); };
    commands.ToggleCurves = [this] { curves_->setVisible(!curves_->isVisible()); };
    commands.OpenAnalysis = [this] { OpenAnalysisClick(); };
    commands.SaveAnalysis = [this] { SaveAnalysisClick(); };
    const auto kinetics = [this](std::function<void()> TKineticsViews::*command) {
        return [this, command] {
            if (KineticsViews.*command) (KineticsViews.*command)();
        };
    };
    commands.EditKinetics = kinetics(&TKineticsViews::EditKinetics);
    commands.ChangeKineticsFile = kinetics(&TKineticsViews::ChangeMainFile);
    commands.AddKineticsFile = kinetics(&TKineticsViews::AddSupplementalFile);
    commands_ = new TMainCommands(*binding_, *this, *graphs_->XYGraphBox1(), commands);
    graphs_->SetPopupMenu(commands_->GraphMenu());
    QAction* curvesShown = commands_->Action("Curves1");
    // Only the signal's own value: the dock hides as the window is destroyed,
    // when this window is no longer one.
    connect(curves_, &QDockWidget::visibilityChanged, curvesShown,
            [curvesShown](bool visible) { curvesShown->setChecked(visible); });
    recent_ = new TRecentMenu(*commands_->FileMenu(), commands_->Action("Save1"), store_);
    connect(recent_, &TRecentMenu::ProfileChosen, this, &TFKelView::OpenProfilePath);
    connect(recent_, &TRecentMenu::FolderChosen, this, &TFKelView::OpenFolder);
    setAcceptDrops(true);
    connect(top_->SaveButton(), &QPushButton::clicked, this, &TFKelView::btSaveMSClick);

    // The label's text is its name to a screen reader, which hears every new
    // one; a fixed name would hide it.
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setAccessibleName(QStringLiteral("Status"));
    statusBar()->addWidget(status_, 1);
    auto* readout = new QLabel(this);
    Name(readout, "StatusReadout", QStringLiteral("Values under the cursor"));
    statusBar()->addPermanentWidget(readout);
    connect(graphs_, &TGraphPanel::ReadoutChanged, readout, &QLabel::setText);
    connect(binding_, &TSessionBinding::StatusChanged, this, &TFKelView::StatusChanged);
    connect(binding_, &TSessionBinding::ProfileChanged, this, &TFKelView::TitleChanged);
    FormCreate();
}

void TFKelView::FormCreate() {
    // First start: the whole width of the screen, from the top down; later
    // starts where the user left it.
    if (!RestoreWindowState(store_, *this, *split_)) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) setGeometry(screen->availableGeometry());
    }
    binding_->Run([this](TKelViewSession& session) { session.LoadSettings(store_); });
    StatusChanged();
}

TFKelView::~TFKelView() {
    // A program ended without closing its window (a logout, a quit) keeps
    // the settings too.
    if (!settingsSaved_) FormDestroy();
}

void TFKelView::FormDestroy() {
    settingsSaved_ = true;
    // Errors while writing the settings are ignored: the program still ends.
    try {
        store_.BeginWrites();
        binding_->Session().SaveSettings(store_);
        SaveWindowState(store_, *this, *split_);
        recent_->Save(store_);
        store_.EndWrites();
    } catch (...) {
    }
}

void TFKelView::Options1Click() {
    // Made when first asked for, not at start: nobody sees the difference,
    // and start-up is shorter by it.
    if (!options_) options_ = new TVANTOROptionsDlg(*binding_, this);
    options_->PreviewKbase = KineticsViews.Preview;
    options_->exec();
}

void TFKelView::AxesClick() {
    // The dialog is not one command: each of its changes runs as its own,
    // and no busy cursor stays up while the user reads it.
    TSessionAxesTarget target(*binding_);
    ShowAxesDialog(target, this);
}

void TFKelView::StatusChanged() { status_->setText(QString::fromStdString(binding_->Session().StatusText())); }

void TFKelView::closeEvent(QCloseEvent* event) {
    FormDestroy();
    event->accept();
}

}  // namespace kel
