// kelview: the desktop program. Start-up order: the kinetics library before
// any window, the process-wide number format, then the main window.
#include <QApplication>
#include <QFileInfo>
#include <QLocale>
#include <clocale>

#include "app/KelViewSession.h"
#include "app/qt/GraphOutput.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/QtDateTextFormatter.h"
#include "app/qt/QtMessageSink.h"
#include "app/qt/QtSettingsStore.h"
#include "kinetics/KineticsLibrary.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Kelview"));
    QApplication::setApplicationDisplayName(QStringLiteral("Kelview"));
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
        window.show();
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() > 1) window.ShowProfile(QFileInfo(arguments[1]).absoluteFilePath());
        status = QApplication::exec();
    }
    kel::ReleaseKineticsLibrary();
    kel::SetSettingsStore(nullptr);
    kel::SetGraphClipboard(nullptr);
    kel::SetMessageSink(nullptr);
    return status;
}
