#include "app/qt/MainCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>

#include "app/qt/SessionBinding.h"
#include "plot/qt/XYGraphBox.h"

namespace kel {

namespace {

constexpr int kToolBarHeight = 52;

QString Plain(const QString& caption) { return QString(caption).remove(QLatin1Char('&')).trimmed(); }

}  // namespace

TMainCommands::TMainCommands(TSessionBinding& binding, QMainWindow& window, TXYGraphBox& graph,
                             TWindowCommands commands)
    : QObject(&window), binding_(binding), commands_(std::move(commands)) {
    MainMenu(window);
    PopupMenu(graph);
    ToolBar(window);
    connect(&binding, &TSessionBinding::ModesChanged, this, &TMainCommands::ModesChanged);
    connect(&binding, &TSessionBinding::Changed, this, &TMainCommands::UndoChanged);
    ModesChanged();
    UndoChanged();
}

QAction* TMainCommands::Action(const char* name) const {
    return parent()->findChild<QAction*>(QLatin1String(name));
}

QAction* TMainCommands::Make(const char* name, const QString& caption, const QKeySequence& shortcut) {
    auto* action = new QAction(caption, parent());
    action->setObjectName(QLatin1String(name));
    action->setIconText(Plain(caption));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

QAction* TMainCommands::Session(const char* name, const QString& caption, void (TKelViewSession::*command)(),
                                const QKeySequence& shortcut) {
    QAction* action = Make(name, caption, shortcut);
    connect(action, &QAction::triggered, this, [this, command] {
        binding_.Run([command](TKelViewSession& session) { (session.*command)(); });
        ModesChanged();  // a toggle shows what the session holds, also after a failure
    });
    return action;
}

QAction* TMainCommands::Window(const char* name, const QString& caption, const std::function<void()>& command,
                               const QKeySequence& shortcut) {
    QAction* action = Make(name, caption, shortcut);
    action->setEnabled(static_cast<bool>(command));
    if (command) connect(action, &QAction::triggered, this, [command] { command(); });
    return action;
}

void TMainCommands::MainMenu(QMainWindow& window) {
    // Within each menu every item has an access key of its own: a key that
    // two items share only moves the highlight between them.
    QMenuBar* bar = window.menuBar();
    QMenu* file = fileMenu_ = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    file->addAction(Window("Open1", QStringLiteral("&Open profile ..."), commands_.OpenProfile, QKeySequence::Open));
    file->addAction(Window("Save1", QStringLiteral("&Save ..."), commands_.Save, QKeySequence(Qt::CTRL | Qt::Key_S)));
    file->addAction(Window("OpenAnalysis1", QStringLiteral("Open ana&lysis ..."), commands_.OpenAnalysis));
    file->addAction(Window("SaveAnalysis1", QStringLiteral("Save anal&ysis ..."), commands_.SaveAnalysis));
    file->addAction(Window("ExportImage1", QStringLiteral("Export &image..."), commands_.ExportImage));
    file->addAction(Window("ExportData1", QStringLiteral("Export &window data..."), commands_.ExportData));
    file->addSeparator();
    file->addAction(Window("AddKbase1", QStringLiteral("&Add supplemental kinetics file"), commands_.AddKineticsFile));
    file->addAction(Window("ChangeKbase1", QStringLiteral("&Change main kinetics file"), commands_.ChangeKineticsFile));
    file->addSeparator();
    file->addAction(Window("Print1", QStringLiteral("&Print"), commands_.Print));
    file->addSeparator();
    file->addAction(Window("Exit1", QStringLiteral("E&xit"), [&window] { window.close(); }));

    QMenu* edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    edit->addAction(Session("Undo1", QStringLiteral("&Undo"), &TKelViewSession::Undo, QKeySequence(Qt::CTRL | Qt::Key_Z)));
    edit->addAction(Session("Redo1", QStringLiteral("&Redo"), &TKelViewSession::Redo,
                            QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    edit->addSeparator();
    edit->addAction(Session("SelectAll1", QStringLiteral("Select &All"), &TKelViewSession::SelectAllClick,
                            QKeySequence(Qt::CTRL | Qt::Key_A)));
    edit->addAction(Window("Copy1", QStringLiteral("&Copy"), commands_.CopyPicture, QKeySequence(Qt::CTRL | Qt::Key_Insert)));
    edit->addSeparator();
    edit->addAction(Window("Options1", QStringLiteral("&Options"), commands_.Options));

    QMenu* plot = bar->addMenu(QStringLiteral("&Plot"));
    plot->setObjectName(QStringLiteral("Plot1"));
    plot->addAction(Session("ShowAll1", QStringLiteral("Show &All"), &TKelViewSession::ShowAllClick,
                            QKeySequence(Qt::SHIFT | Qt::Key_Return)));
    QAction* logPlot = Session("Logplot1", QStringLiteral("&Log plot"), &TKelViewSession::LogplotCtrlEnter1Click);
    logPlot->setCheckable(true);
    logPlot->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    plot->addAction(logPlot);
    plot->addAction(Window("SetAxes1", QStringLiteral("Set A&xes"), commands_.Axes, QKeySequence(Qt::Key_F2)));
    plot->addSeparator();
    plot->addAction(Session("ViewBack1", QStringLiteral("&Back"), &TKelViewSession::ViewBack,
                            QKeySequence(Qt::ALT | Qt::Key_Left)));
    plot->addAction(Session("ViewForward1", QStringLiteral("&Forward"), &TKelViewSession::ViewForward,
                            QKeySequence(Qt::ALT | Qt::Key_Right)));
    QAction* readout = Session("CursorValues1", QStringLiteral("&Values under the cursor"), &TKelViewSession::ReadoutClick);
    readout->setCheckable(true);
    plot->addAction(readout);
    QAction* follow = Session("FollowFile1", QStringLiteral("Follo&w file"), &TKelViewSession::FollowFileClick);
    follow->setCheckable(true);
    plot->addAction(follow);
    plot->addSeparator();
    QAction* curves = Window("Curves1", QStringLiteral("C&urves"), commands_.ToggleCurves);
    curves->setCheckable(true);
    plot->addAction(curves);
    QAction* clock = Session("ClockTime1", QStringLiteral("&Clock time"), &TKelViewSession::ClockTimeClick);
    clock->setCheckable(true);
    plot->addAction(clock);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->addAction(Window("About1", QStringLiteral("&About"), commands_.About));
}

void TMainCommands::PopupMenu(TXYGraphBox& graph) {
    graphMenu_ = new QMenu(&graph);
    graphMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    graphMenu_->setAccessibleName(QStringLiteral("Graph commands"));
    // The pop-up shows its items' keys, which a screen reader tells apart
    // from the caption. They are not the pop-up's to take: an item of a menu
    // that no menu bar holds never answers its key. Shift+Enter and Ctrl+A
    // belong to the main menu's "Show &All" and "Select &All", Enter is "Show
    // all" while the graph has the focus, and Ctrl+C and F7 are the graph's.
    const auto keyShown = [](QAction* action, const QKeySequence& key) {
        action->setShortcut(key);
        action->setShortcutContext(Qt::WidgetShortcut);
        action->setShortcutVisibleInContextMenu(true);
        return action;
    };
    graphMenu_->addAction(Session("Expand1", QStringLiteral("&Expand"), &TKelViewSession::ExpandClick));
    graphMenu_->addAction(keyShown(Session("ShowAll2", QStringLiteral("Show &all"), &TKelViewSession::ShowAllClick),
                                   QKeySequence(Qt::Key_Return)));
    graphMenu_->addAction(
        keyShown(Window("SetScales1", QStringLiteral("&Set scales ..."), commands_.Axes), QKeySequence(Qt::Key_F7)));
    graphMenu_->addAction(keyShown(Session("SelectAll2", QStringLiteral("Se&lect all "), &TKelViewSession::SelectAllClick),
                                   QKeySequence(Qt::CTRL | Qt::Key_A)));
    graphMenu_->addAction(
        keyShown(Window("CopyData", QStringLiteral("&Copy"), commands_.CopyData), QKeySequence(Qt::CTRL | Qt::Key_C)));
    graphMenu_->addSeparator();
    graphMenu_->addAction(Window("EditKinetics1", QStringLiteral("Edit &Kinetics"), commands_.EditKinetics));
    graphMenu_->addAction(
        Window("ChangeKbase2", QStringLiteral("C&hange main kinetics file"), commands_.ChangeKineticsFile));
    graph.SetPopupMenu(graphMenu_);

    QAction* enter = Session("ShowAllEnter", QStringLiteral("Show all"), &TKelViewSession::ShowAllClick);
    enter->setShortcuts({QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter)});
    enter->setShortcutContext(Qt::WidgetShortcut);
    graph.addAction(enter);
    // Ctrl+C copies the count rates only while the graph has the focus: in a
    // text field it stays the field's own copy.
    QAction* copy =
        Window("CopyDataKey", QStringLiteral("Copy"), commands_.CopyData, QKeySequence(Qt::CTRL | Qt::Key_C));
    copy->setShortcutContext(Qt::WidgetShortcut);
    graph.addAction(copy);
    QAction* scales = Window("SetScalesF7", QStringLiteral("Set scales"), commands_.Axes, QKeySequence(Qt::Key_F7));
    graph.window()->addAction(scales);
}

void TMainCommands::ToolBar(QMainWindow& window) {
    QToolBar* bar = window.addToolBar(QStringLiteral("Tools"));
    bar->setObjectName(QStringLiteral("Panel1"));
    bar->setMovable(false);
    bar->setFixedHeight(kToolBarHeight);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const auto toggle = [](QAction* action, const QString& hint = {}) {
        action->setCheckable(true);
        if (!hint.isEmpty()) action->setToolTip(hint);
        return action;
    };
    // The buttons carry their commands' names, for UI automation.
    const auto name = [bar] {
        for (QAction* action : bar->actions())
            if (QWidget* button = bar->widgetForAction(action)) {
                button->setObjectName(action->objectName());
                button->setAccessibleName(action->iconText());
            }
    };
    bar->addAction(toggle(Session("btnExpand", QStringLiteral("Expand"), &TKelViewSession::btnExpandClick)));
    bar->addAction(Session("btRescale", QStringLiteral("Rescale"), &TKelViewSession::ShowAllClick));
    bar->addAction(Session("btSelectAll", QStringLiteral("Select all"), &TKelViewSession::SelectAllClick));
    bar->addAction(toggle(Session("btnLog", QStringLiteral("Log / Linear"), &TKelViewSession::LogplotCtrlEnter1Click)));
    bar->addAction(Window("btAxes", QStringLiteral("Set Axes"), commands_.Axes));
    bar->addSeparator();
    bar->addAction(toggle(Session("btnApplyDeMr", QStringLiteral("correct"), &TKelViewSession::btnApplyDeMrClick),
                          QStringLiteral("apply Df correction")));
    bar->addAction(toggle(Session("BtnPpb", QStringLiteral("ppb"), &TKelViewSession::BtnPpbClick),
                          QStringLiteral("Show ppb in the graph")));
    bar->addAction(toggle(Session("btnIR", QStringLiteral("D/H"), &TKelViewSession::btnIRClick),
                          QStringLiteral("Isotope Ratio analysis")));
    bar->addAction(toggle(Session("sbInfo", QStringLiteral("(int.res)"), &TKelViewSession::sbInfoClick),
                          QStringLiteral("intermediate results")));
    bar->addSeparator();
    bar->addAction(Window("btCopy", QStringLiteral("Copy picture"), commands_.CopyPicture));
    bar->addAction(Window("btPrint", QStringLiteral("Print"), commands_.Print));
    bar->addAction(Window("btBrowse", QStringLiteral("Browse Profiles"), commands_.OpenProfile));
    name();
    // The plot's own setting sits with the plot's commands.
    bar->addSeparator();
    cbT0Start_ = new QCheckBox(QStringLiteral("Time 0 at start"), bar);
    cbT0Start_->setObjectName(QStringLiteral("cbT0Start"));
    cbT0Start_->setAccessibleName(QStringLiteral("Time 0 at start"));
    bar->addWidget(cbT0Start_);
    connect(cbT0Start_, &QCheckBox::clicked, this, [this] {
        binding_.Run([](TKelViewSession& session) { session.cbT0StartClick(); });
        ModesChanged();
    });
}

void TMainCommands::UndoChanged() {
    const TKelViewSession& session = binding_.Session();
    if (QAction* undo = Action("Undo1")) undo->setEnabled(session.CanUndo());
    if (QAction* redo = Action("Redo1")) redo->setEnabled(session.CanRedo());
}

void TMainCommands::ModesChanged() {
    const TKelViewSession& session = binding_.Session();
    const auto check = [this](const char* name, bool down) {
        if (QAction* action = Action(name)) action->setChecked(down);
    };
    check("btnExpand", session.ExpandDown());
    check("btnLog", session.LogButtonDown());
    check("Logplot1", session.LogPlotTicked());
    check("CursorValues1", session.ReadoutOn());
    check("FollowFile1", session.FollowFileOn());
    check("ClockTime1", session.ClockTimeOn());
    // The clock labels the plain time axis only.
    if (QAction* clock = Action("ClockTime1")) clock->setEnabled(session.ClockTimeAvailable());
    check("btnApplyDeMr", session.CorrectDown());
    check("BtnPpb", session.PpbDown());
    check("btnIR", session.IsotopeDown());
    check("sbInfo", session.ModeDown() == TModeButton::IntermediateResults);
    if (cbT0Start_) cbT0Start_->setChecked(session.T0AtStart());
}

}  // namespace kel
