// kel-screenshots OUTDIR PROFILE KINETICS: the program's windows and dialogs
// on a profile, each written as a PNG into OUTDIR, for looking at what a user
// sees without sitting at a screen. Messages go to stderr, settings are not
// read or written.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QTabWidget>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <functional>

#include "app/KelViewSession.h"
#include "app/qt/AboutBox.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/OptionsDlg.h"
#include "app/qt/QtDateTextFormatter.h"
#include "app/qt/SessionAxesTarget.h"
#include "browser/qt/KelBrowse.h"
#include "common/Settings.h"
#include "kinetics/KineticsLibrary.h"
#include "kinetics/views/qt/KineticsCommands.h"
#include "kinetics/views/qt/KineticsEditor.h"
#include "plot/qt/AxesDlg.h"

namespace {

using namespace kel;

// Whether every pixel of image has one colour: nothing was drawn.
bool Blank(const QImage& image) {
    const QRgb first = image.pixel(0, 0);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != first) return false;
    return true;
}

bool Save(QWidget& widget, const QDir& folder, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const QImage image = widget.grab().toImage();
    if (image.isNull() || Blank(image)) {
        std::fprintf(stderr, "kel-screenshots: %s shows nothing\n", qPrintable(name));
        return false;
    }
    if (!image.save(path)) {
        std::fprintf(stderr, "kel-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    if (argc != 4) {
        std::fprintf(stderr, "usage: kel-screenshots OUTDIR PROFILE KINETICS\n");
        return 2;
    }
    // Absolute: the browser makes the folder it lists the current one.
    const QDir folder(QFileInfo(QString::fromLocal8Bit(argv[1])).absoluteFilePath());
    const QFileInfo profile(QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath());
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "kel-screenshots: cannot make %s\n", argv[1]);
        return 1;
    }
    MemorySettings store;
    SetSettingsStore(&store);
    // Absolute: the browser makes the folder it lists the current one.
    const QString kineticsFile = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath();
    SetKineticsFileName(kineticsFile.toStdString());
    ReloadKineticsLibrary();

    TKelViewSession session;
    session.SetDateFormatter(std::make_shared<QtDateTextFormatter>());
    bool ok = true;
    {
        TFKelView window(session, store);
        auto* kinetics = new TKineticsCommands(window);  // owned by the window
        // The browser lists the profile's folder.
        store.WriteString("Browser", "Folder", profile.absolutePath().toStdString());
        auto* browser = new TFKelBrowse(window, store);
        window.resize(1400, 860);
        window.show();
        if (!window.ShowProfile(profile.absoluteFilePath())) return 1;
        TSessionBinding& binding = window.Binding();
        ok &= Save(window, folder, QStringLiteral("main-window"));
        binding.Run([](TKelViewSession& s) { s.BtnPpbClick(); });
        ok &= Save(window, folder, QStringLiteral("main-window-ppb"));
        binding.Run([](TKelViewSession& s) { s.btnIRClick(); });
        ok &= Save(window, folder, QStringLiteral("main-window-dh"));
        binding.Run([](TKelViewSession& s) { s.btnIRClick(); });

        TSessionAxesTarget target(binding);
        TAxesDlg axes(target, &window);
        axes.show();
        ok &= Save(axes, folder, QStringLiteral("axes-dialog"));
        axes.hide();

        TVANTOROptionsDlg options(binding, &window);
        options.PreviewKbase = window.KineticsViews.Preview;
        options.show();
        ok &= Save(options, folder, QStringLiteral("options-dialog"));
        options.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->setCurrentIndex(1);
        ok &= Save(options, folder, QStringLiteral("options-dialog-kinetics"));
        options.hide();

        TFH3OPtxte& editor = kinetics->Editor();
        editor.LoadText(QString::fromLatin1(ReadMainKineticsText()), kineticsFile);
        editor.show();
        ok &= Save(editor, folder, QStringLiteral("kinetics-editor"));
        editor.hide();

        TAboutBox about(&window);
        about.show();
        ok &= Save(about, folder, QStringLiteral("about-box"));
        about.hide();

        browser->show();
        // The folder tree fills itself from a thread of its own.
        QEventLoop settle;
        QTimer::singleShot(500, &settle, &QEventLoop::quit);
        settle.exec();
        ok &= Save(*browser, folder, QStringLiteral("profile-browser"));
    }
    ReleaseKineticsLibrary();
    SetSettingsStore(nullptr);
    return ok ? 0 : 1;
}
