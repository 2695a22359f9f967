// kelview: the desktop program. Start-up order: the kinetics library before
// any window, the process-wide number format, then the main window.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QLocale>
#include <QTimer>
#include <clocale>

#include "app/KelViewSession.h"
#include "app/qt/GraphOutput.h"
#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/QtDateTextFormatter.h"
#include "app/qt/QtMessageSink.h"
#include "app/qt/QtSettingsStore.h"
#include "kinetics/KineticsLibrary.h"
#include "kinetics/views/qt/KineticsCommands.h"
#include "plot/qt/XYGraphBox.h"

namespace {

// Quits the program once the main graph has been painted the first time.
class TQuitWhenPainted : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelview"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kelview"));
    QApplication::setApplicationVersion(QStringLiteral(KELVIEW_VERSION));
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
    parser.process(app);

    // Numbers are read and written with "." whatever the user's region; Qt
    // set the C library's numeric locale from the environment just now.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());

    kel::QtMessageSink boxes;
    kel::SetMessageSink(&boxes);
    kel::QtGraphClipboard clipboard;
    kel::SetGraphClipboard(&clipboard);
    kel::QtSettingsStore store;
    kel::SetSettingsStore(&store);
    kel::LoadKineticsAtStartup();
    // A first start has no library named yet; the demo one makes ppb work.
    if (kel::KineticsFileName().empty() && QFileInfo::exists(QStringLiteral(KELVIEW_DEMO_KINETICS))) {
        kel::SetKineticsFileName(KELVIEW_DEMO_KINETICS);
        kel::ReloadKineticsLibrary();
    }

    kel::TKelViewSession session;
    session.SetDateFormatter(std::make_shared<kel::QtDateTextFormatter>());
    int status = 0;
    {
        kel::TFKelView window(session, store);
        new kel::TKineticsCommands(window);  // owned by the window
        TQuitWhenPainted quit;
        if (parser.isSet(quitWhenShown)) window.Graphs().XYGraphBox1()->installEventFilter(&quit);
        window.show();
        const QStringList profiles = parser.positionalArguments();
        if (!profiles.isEmpty()) window.ShowProfile(QFileInfo(profiles.first()).absoluteFilePath());
        status = QApplication::exec();
    }
    kel::ReleaseKineticsLibrary();
    kel::SetSettingsStore(nullptr);
    kel::SetGraphClipboard(nullptr);
    kel::SetMessageSink(nullptr);
    return status;
}
