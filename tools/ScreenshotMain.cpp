// kel-screenshots OUTDIR PROFILE KINETICS: the program's windows and dialogs
// on a profile, each written as a PNG into OUTDIR, for looking at what a user
// sees without sitting at a screen; the main window also as a screen scaled
// 2x shows it, in D/H mode on a 1366 x 768 screen and on a dark desktop
// palette, and the whole screen with the browser where it opens beside the
// main window. Messages go to stderr, settings are not read or written.
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QPalette>
#include <QPixmap>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <functional>
#include <vector>

#include "app/KelViewSession.h"
#include "app/qt/AboutBox.h"
#include "app/qt/GraphPanel.h"
#include "app/qt/CurvesPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/KelviewStyle.h"
#include "app/qt/OptionsDlg.h"
#include "app/qt/QtDateTextFormatter.h"
#include "app/qt/SessionAxesTarget.h"
#include "browser/qt/CompareWindow.h"
#include "browser/qt/KelBrowse.h"
#include "browser/qt/SummaryWindow.h"
#include "common/Settings.h"
#include "kinetics/KineticsLibrary.h"
#include "app/kinetics/qt/KineticsCommands.h"
#include "app/kinetics/qt/KineticsEditor.h"
#include "plot/qt/AxesDlg.h"
#include "plot/qt/XYGraphBox.h"

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

// widget as a screen of the given pixel ratio shows it.
QImage Picture(QWidget& widget, qreal ratio) {
    QCoreApplication::processEvents();
    QPixmap pixmap(widget.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    widget.render(&pixmap);
    return pixmap.toImage();
}

bool Save(QWidget& widget, const QDir& folder, const QString& name, qreal ratio = 1) {
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    const QImage image = Picture(widget, ratio);
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

// The screen with windows where they lie on it, the later over the earlier,
// each in a plain frame: where the program puts its windows.
bool SaveDesktop(const std::vector<QWidget*>& windows, const QDir& folder, const QString& name) {
    QCoreApplication::processEvents();
    const QScreen* screen = windows.front()->screen();
    const QRect desk = screen->geometry();
    QImage image(desk.size(), QImage::Format_RGB32);
    image.fill(QColor(90, 110, 130));
    QPainter painter(&image);
    for (QWidget* window : windows) {
        const QRect frame = window->frameGeometry().translated(-desk.topLeft());
        painter.fillRect(frame, QColor(60, 60, 60));
        window->render(&painter, window->geometry().topLeft() - desk.topLeft());
    }
    painter.end();
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    if (!image.save(path)) {
        std::fprintf(stderr, "kel-screenshots: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

// A dark desktop's palette, as a user who chose a dark theme has it.
QPalette DarkPalette() {
    const QColor window(45, 45, 48), base(30, 30, 30), text(230, 230, 230), disabled(128, 128, 128);
    QPalette palette(window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, base);
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::ToolTipBase, base);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, disabled);
    palette.setColor(QPalette::Highlight, QColor(38, 110, 180));
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, QColor(100, 170, 255));
    palette.setColor(QPalette::Light, QColor(70, 70, 74));
    palette.setColor(QPalette::Midlight, QColor(58, 58, 62));
    palette.setColor(QPalette::Mid, QColor(35, 35, 38));
    palette.setColor(QPalette::Dark, QColor(20, 20, 22));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, disabled);
    return palette;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    UseKelviewStyle();
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
    // Absolute: the browser makes the folder it lists the current one.
    const QString kineticsFile = QFileInfo(QString::fromLocal8Bit(argv[3])).absoluteFilePath();
    SetKineticsFileName(kineticsFile.toStdString());
    ReloadKineticsLibrary();

    StderrMessageSink boxes;
    TKelViewSession session({KineticsLibrary(), boxes, store});
    session.SetDateFormatter(std::make_shared<QtDateTextFormatter>());
    bool ok = true;
    {
        TFKelView window(session, store);
        auto* kinetics = new TKineticsCommands(window);  // owned by the window
        // The browser lists the profile's folder.
        store.WriteString("Browser", "Folder", profile.absolutePath().toStdString());
        auto* browser = new TFKelBrowse(window, store);
        // Every picture shows PROFILE: the browser does not open its folder's
        // newest profile a second after listing it.
        browser->findChild<QTimer*>(QStringLiteral("Timer2"))->stop();
        window.resize(1400, 860);
        window.show();
        if (!window.ShowProfile(profile.absoluteFilePath())) return 1;
        TSessionBinding& binding = window.Binding();
        ok &= Save(window, folder, QStringLiteral("main-window"));
        ok &= Save(window, folder, QStringLiteral("main-window-dpr2"), 2);
        binding.Run([](TKelViewSession& s) { s.BtnPpbClick(); });
        ok &= Save(window, folder, QStringLiteral("main-window-ppb"));
        binding.Run([](TKelViewSession& s) { s.btnIRClick(); });
        ok &= Save(window, folder, QStringLiteral("main-window-dh"));
        // The widest mode on a small laptop's screen, frame included.
        const QSize wide = window.size();
        const QRect frame = window.frameGeometry();
        const QSize chrome = frame.size() - window.size();
        window.resize(QSize(1366, 768) - chrome);
        ok &= Save(window, folder, QStringLiteral("main-window-dh-1366x768"));
        window.resize(wide);
        binding.Run([](TKelViewSession& s) { s.btnIRClick(); });

        // The values under the cursor, on a graph zoomed in by two wheel notches.
        TXYGraphBox& graph = *window.Graphs().XYGraphBox1();
        const TRect& plot = session.Graph1().PlotRect;
        const QPointF at(plot.left + 0.4 * (plot.right - plot.left), plot.top + 0.45 * (plot.bottom - plot.top));
        QWheelEvent wheel(at, graph.mapToGlobal(at), QPoint(), QPoint(0, 240), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(&graph, &wheel);
        QMouseEvent move(QEvent::MouseMove, at, graph.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&graph, &move);
        ok &= Save(window, folder, QStringLiteral("main-window-readout"));
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(&graph, &leave);
        binding.Run([](TKelViewSession& s) { s.ViewBack(); });

        // The Curves panel beside the graph, one curve hidden, clock-time axis.
        window.Curves().show();
        const std::vector<TCurveEntry> curves = session.CurveList();
        if (curves.size() > 1) {
            const std::string hidden = curves[1].Name;
            binding.Run([&hidden](TKelViewSession& s) { s.SetCurveHidden(hidden, true); });
        }
        binding.Run([](TKelViewSession& s) { s.ClockTimeClick(); });
        ok &= Save(window, folder, QStringLiteral("main-window-curves"));
        binding.Run([&curves](TKelViewSession& s) {
            s.ClockTimeClick();
            if (curves.size() > 1) s.SetCurveHidden(curves[1].Name, false);
        });
        window.Curves().hide();

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
        ok &= SaveDesktop({&window, browser}, folder, QStringLiteral("desktop-browser-beside"));

        // Every profile of the folder side by side, and the folder's summary.
        std::vector<std::string> compared;
        for (const QFileInfo& file : profile.absoluteDir().entryInfoList({QStringLiteral("*.kel")}, QDir::Files, QDir::Name))
            compared.push_back(file.absoluteFilePath().toStdString());
        const TSessionTemplate setup = TSessionTemplate::Of(session, KineticsLibrary());
        auto* compare = new TCompareWindow(browser, compared, setup);
        compare->show();
        ok &= Save(*compare, folder, QStringLiteral("compare-window"));
        compare->close();
        auto* summary = new TSummaryWindow(browser, profile.absolutePath().toStdString(), setup, 2);
        summary->show();
        QEventLoop summarised;
        QObject::connect(summary, &TSummaryWindow::Finished, &summarised, &QEventLoop::quit);
        summary->Start();
        if (summary->Running()) summarised.exec();
        ok &= Save(*summary, folder, QStringLiteral("summary-window"));
        summary->close();

        // A dark desktop: the window's chrome turns dark, the graph keeps its paper.
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
        ok &= Save(window, folder, QStringLiteral("main-window-dark"));
        ok &= Save(*browser, folder, QStringLiteral("profile-browser-dark"));
    }
    ReleaseKineticsLibrary();
    return ok ? 0 : 1;
}
