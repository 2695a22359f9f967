// kelview: the desktop program. Start-up order: a profile named while another
// instance runs goes to that one; then the kinetics library before any window,
// the process-wide number format, the main window and the hidden browser;
// a moment after the window is up, the command channel.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <QLocale>
#include <QTimer>
#include <algorithm>
#include <clocale>
#include <functional>
#include <utility>

#include "app/KelViewSession.h"
#include "app/qt/GraphOutput.h"
#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/KelviewStyle.h"
#include "app/qt/QtDateTextFormatter.h"
#include "app/qt/QtMessageSink.h"
#include "common/qt/QtSettingsStore.h"
#include "app/qt/SessionBinding.h"
#include "browser/qt/CommandChannel.h"
#include "browser/qt/KelBrowse.h"
#include "kinetics/KineticsLibrary.h"
#include "app/kinetics/qt/KineticsCommands.h"
#include "plot/qt/XYGraphBox.h"

namespace {

// Runs then once, delayMs after watched was first painted.
class TAfterFirstPaint : public QObject {
public:
    TAfterFirstPaint(QWidget& watched, int delayMs, std::function<void()> then)
        : QObject(&watched), delayMs_(delayMs), then_(std::move(then)) {
        watched.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && then_) {
            watched->removeEventFilter(this);
            QTimer::singleShot(delayMs_, this, std::exchange(then_, nullptr));
        }
        return false;
    }

private:
    int delayMs_;
    std::function<void()> then_;
};

// The command channel opens a moment after the window is up: loading its
// module and socket is no part of the wait for the window, and no user can
// tell the moment.
constexpr int kChannelDelayMs = 100;

void NameTheProgram() {
    QCoreApplication::setApplicationName(QStringLiteral("Kelview"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KELVIEW_VERSION));
}

struct TCommandLine {
    QString profile;  // absolute, or empty
    bool quitWhenShown = false;
};

// Reads the command line before the window system is reached, so that
// --help, --version and a mistyped option answer on a machine without a
// display instead of ending in Qt's platform error.
TCommandLine ReadCommandLine(int argc, char** argv) {
    NameTheProgram();
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Views and analyses multi-ion profiles (.kel) of flow-tube mass spectrometers: count rates, "
        "concentrations (ppb) and D/H isotope ratios over a time window selected on the graph. "
        "Settings are kept in ~/.config/VANTORbeta.conf; result logs go to multilog.csv in the current folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("PROFILE"), QStringLiteral("A profile to open at start."),
                                 QStringLiteral("[PROFILE]"));
    const QCommandLineOption quitWhenShown(QStringLiteral("quit-when-shown"),
                                           QStringLiteral("Quit as soon as the window is painted (for timing start-up)."));
    parser.addOption(quitWhenShown);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    // A usual start is read without an application object, which would cost
    // the start-up a second one; help, the version and a mistyped option are
    // answered by Qt's own parser with one, and end the program.
    const bool parsed = parser.parse(arguments);
    const QStringList options = parser.optionNames();
    const bool helpOrVersion = std::any_of(options.begin(), options.end(),
                                           [](const QString& o) { return o != QLatin1String("quit-when-shown"); });
    if (!parsed || helpOrVersion) {
        QCoreApplication core(argc, argv);
        parser.process(core);
    }
    const QStringList profiles = parser.positionalArguments();
    return {profiles.isEmpty() ? QString() : QFileInfo(profiles.first()).absoluteFilePath(), parser.isSet(quitWhenShown)};
}

}  // namespace

int main(int argc, char** argv) {
    const TCommandLine commandLine = ReadCommandLine(argc, argv);
    const QString& profile = commandLine.profile;
    QApplication app(argc, argv);
    kel::UseKelviewStyle();
    NameTheProgram();
    QApplication::setApplicationDisplayName(QStringLiteral("Kelview"));
    // The desktop ties the windows to the installed launcher and shows its icon.
    QApplication::setDesktopFileName(QStringLiteral("org.kelview.Kelview"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.kelview.Kelview")));
    const QString channel = kel::CommandServerName();
    if (!profile.isEmpty() && kel::SendCommand(channel, QStringLiteral("open(\"%1\")").arg(profile))) return 0;

    // Numbers are read and written with "." whatever the user's region; Qt
    // set the C library's numeric locale from the environment just now.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    kel::QtMessageSink boxes;
    // The window's session shows its boxes on the sink it is given; the
    // code beneath it still shows its own on the process's.
    kel::SetMessageSink(&boxes);
    kel::QtGraphClipboard clipboard;
    kel::QtSettingsStore store;
    kel::ShowNotices(kel::KineticsNotices(kel::LoadKineticsAtStartup(store)));
    // The browser makes the folder it lists the current one; a library named
    // relative to where the program started must still be found.
    const QString kbase = QString::fromStdString(kel::KineticsFileName());
    if (!kbase.isEmpty() && QFileInfo(kbase).isRelative())
        kel::SetKineticsFileName(QFileInfo(kbase).absoluteFilePath().toStdString());
    // A first start has no library named yet; the demo one makes ppb work.
    const std::string demo = kel::DemoKineticsFileName();
    if (kel::KineticsFileName().empty() && QFileInfo::exists(QString::fromStdString(demo))) {
        kel::SetKineticsFileName(demo);
        kel::ShowNotices(kel::KineticsNotices(kel::ReloadKineticsLibrary()));
    }

    kel::TKelViewSession session({kel::KineticsLibrary(), boxes, store, &clipboard});
    session.SetDateFormatter(std::make_shared<kel::QtDateTextFormatter>());
    int status = 0;
    {
        kel::TFKelView window(session, store);
        new kel::TKineticsCommands(window);  // owned by the window
        QWidget& graph = *window.Graphs().XYGraphBox1();
        if (commandLine.quitWhenShown) new TAfterFirstPaint(graph, 0, [] { QCoreApplication::quit(); });
        auto* browser = new kel::TFKelBrowse(window, store);
        window.SetProfileBrowser(browser);
        window.ProfileSaved = [browser](const QString& path) {
            browser->RefreshListing();
            browser->OpenProfilePath(path);
        };
        // Without the channel (another instance took it meanwhile) this one
        // still works; it only takes no commands.
        kel::TCommandServer commands;
        QObject::connect(&commands, &kel::TCommandServer::Command, browser, &kel::TFKelBrowse::SystemExecuteMacro,
                         Qt::QueuedConnection);
        new TAfterFirstPaint(graph, kChannelDelayMs, [&commands, &channel, &window] {
            if (commands.Listen(channel)) return;
            const std::string notice = "No command channel: " + commands.Failure().toStdString();
            window.Binding().Run([&notice](kel::TKelViewSession& s) { s.ShowNotice(notice); });
        });
        window.show();
        if (!profile.isEmpty()) browser->OpenProfilePath(profile);
        status = QApplication::exec();
    }
    kel::ReleaseKineticsLibrary();
    kel::SetMessageSink(nullptr);
    return status;
}
