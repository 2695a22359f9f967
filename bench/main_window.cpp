// The main window on a zipped 32767-point profile of 29 rows in ppb mode with
// 100 selected compounds, on the offscreen platform:
// - "drag/peer": from the mouse release of a drag over the whole profile on
//   the main graph to the repainted window with its result lines, against
//   the session's own new-selection command plus one Draw of the graph into
//   a QImage of the same size (goal: at most 1.25);
// - "peak/data": the window's peak resident memory (before the peer's own
//   picture exists) against the memory its curves and counts take (goal: at
//   most 2).
// Both runs alternate in every iteration, so the ratio compares them under
// the same machine load.
#include <benchmark/benchmark.h>

// Before Qt: the profile generator names a field "slots", a word Qt's headers
// take for themselves.
#include "BenchServices.h"
#include "BenchSupport.h"
#include "synth/KineticsGenerator.h"

#include "QtBenchMain.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>
#include <cstdlib>
#include <iostream>

#include "app/KelViewSession.h"
#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/qt/QtCanvas.h"
#include "plot/qt/XYGraphBox.h"

namespace {

using namespace kel;
using Clock = std::chrono::steady_clock;

constexpr int kPoints = 32767;
constexpr int kLibraryEntries = 160;  // 100 selected compounds with the default channels

void Mouse(QWidget& widget, QEvent::Type type, QPoint at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

struct Scene {
    bench::ScratchFolder folder{"window"};
    MemorySettings store;
    TKelViewSession session{bench::BenchServices()};
    TFKelView window{session, store};

    Scene() {
        const std::string path = (folder.Path() / "long.kel").string();
        if (!bench::SeriesProfile(0, kPoints).SaveZipped(path)) {
            std::cerr << "cannot write " << path << '\n';
            std::exit(1);
        }
        KineticsLibrary().LoadText(synth::KineticsText(kLibraryEntries));
        window.resize(1600, 1000);
        window.show();
        if (!window.ShowProfile(QString::fromStdString(path)) ||
            !window.Binding().Run([](TKelViewSession& s) { s.PressPpb(); })) {
            std::cerr << "cannot open the profile in ppb mode\n";
            std::exit(1);
        }
        QCoreApplication::processEvents();
    }

    // Bytes of the curves' X and Y values and of the profile's counts.
    double DataMiB() const {
        double bytes = 0;
        const TXYGraph& g = session.Graph1();
        for (int i = 0; i < g.Curves.Count(); ++i)
            if (const TCurve* c = g.Curves[i]) bytes += (c->X.capacity() + c->Y.capacity()) * sizeof(double);
        for (const auto& row : session.Profile().Counts) bytes += row.capacity() * sizeof(row[0]);
        return bytes / (1024.0 * 1024.0);
    }
};

void DragOverTheWholeProfile(Scene& s) {
    TXYGraphBox& box = *s.window.Graphs().XYGraphBox1();
    const TRect plot = s.session.Graph1().PlotRect;
    Mouse(box, QEvent::MouseButtonPress, QPoint(plot.left, 200));
    Mouse(box, QEvent::MouseMove, QPoint(plot.right - 1, 200));
    QCoreApplication::processEvents();
}

void BM_DragToResult(benchmark::State& state) {
    static Scene s;
    TXYGraphBox& box = *s.window.Graphs().XYGraphBox1();
    // The window's own peak: one drag before the peer's picture exists.
    DragOverTheWholeProfile(s);
    Mouse(box, QEvent::MouseButtonRelease, QPoint(s.session.Graph1().PlotRect.right - 1, 200));
    QCoreApplication::processEvents();
    const double peak = bench::PeakMemoryMiB();
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    Clock::duration ours{}, peer{};
    for (auto _ : state) {
        DragOverTheWholeProfile(s);
        const TRect plot = s.session.Graph1().PlotRect;
        const auto t0 = Clock::now();
        Mouse(box, QEvent::MouseButtonRelease, QPoint(plot.right - 1, 200));
        QCoreApplication::processEvents();  // the result lines and the repaint
        const auto t1 = Clock::now();
        const std::array<double, 2> selection = s.session.Selection();
        s.window.Binding().Run([&selection](TKelViewSession& session) { session.SelectTimes(selection[0], selection[1]); });
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            TQtCanvas canvas(painter);
            s.window.Binding().DrawingGraph(1).Draw(canvas, {0, 0, image.width(), image.height()});
        }
        const auto t2 = Clock::now();
        ours += t1 - t0;
        peer += t2 - t1;
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["drag/peer"] = std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(peer).count();
    state.counters["peak MiB"] = peak;
    state.counters["data MiB"] = s.DataMiB();
    state.counters["peak/data"] = peak / s.DataMiB();
}
BENCHMARK(BM_DragToResult)->Unit(benchmark::kMillisecond)->MinTime(5);

}  // namespace

int main(int argc, char** argv) { return kel::bench::RunInQApplication(argc, argv); }
