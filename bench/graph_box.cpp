// The main graph control at 1600 x 900 with 15 curves of 32767 points, on
// the offscreen platform:
// - "move/full": one mouse move during a drag (the feedback only) against one
//   full repaint of the control (goal: at most 0.05);
// - "full/bare": one full repaint of the control against the bare Draw of the
//   same graph into a QImage (goal: at most 1.2).
// The three are timed in turn in every iteration, so both ratios compare
// runs under the same machine load.
#include <benchmark/benchmark.h>

#include "QtBenchMain.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <chrono>
#include <cstdlib>

#include "LargeGraph.h"
#include "plot/qt/QtCanvas.h"
#include "plot/qt/XYGraphBox.h"

namespace {

using namespace kel;
using Clock = std::chrono::steady_clock;

constexpr int kMovesPerIteration = 50;

void Mouse(QWidget& widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget.mapToGlobal(at), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &event);
}

struct Scene {
    Scene() {
        box.resize(bench::kGraphWidth, bench::kGraphHeight);
        box.SetAnimated(true);
        box.SetSelect(xsVertical);
        bench::FillLargeGraph(box.XYgraph());
        bench::FillLargeGraph(bare);
        box.show();
        QCoreApplication::processEvents();
    }
    TXYGraphBox box;
    TXYGraph bare;
    QImage image{bench::kGraphWidth, bench::kGraphHeight, QImage::Format_ARGB32_Premultiplied};
};

void FullRepaint(Scene& s) {
    s.box.RequestRepaint();
    s.box.repaint();
}

// Moves of a drag that began at x = 400, as far as the mouse travels in a
// tenth of a second.
void DragMoves(Scene& s, int iteration) {
    for (int i = 0; i < kMovesPerIteration; ++i) {
        Mouse(s.box, QEvent::MouseMove, QPoint(500 + (iteration + i) % 600, 300), Qt::LeftButton);
        QCoreApplication::processEvents();
    }
}

void BareDraw(Scene& s) {
    s.image.fill(Qt::white);
    QPainter painter(&s.image);
    TQtCanvas canvas(painter);
    s.bare.Draw(canvas, {0, 0, bench::kGraphWidth, bench::kGraphHeight});
}

void BM_GraphBox(benchmark::State& state) {
    static Scene s;
    FullRepaint(s);
    Mouse(s.box, QEvent::MouseButtonPress, QPoint(400, 300), Qt::LeftButton);
    Clock::duration full{}, moves{}, bare{};
    int iteration = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        FullRepaint(s);
        const auto t1 = Clock::now();
        DragMoves(s, iteration++);
        const auto t2 = Clock::now();
        BareDraw(s);
        const auto t3 = Clock::now();
        full += t1 - t0;
        moves += t2 - t1;
        bare += t3 - t2;
        benchmark::DoNotOptimize(s.image.constBits());
    }
    Mouse(s.box, QEvent::MouseButtonRelease, QPoint(500, 300), Qt::NoButton);
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    state.counters["move/full"] = seconds(moves) / kMovesPerIteration / seconds(full);
    state.counters["full/bare"] = seconds(full) / seconds(bare);
}
BENCHMARK(BM_GraphBox)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

int main(int argc, char** argv) { return kel::bench::RunInQApplication(argc, argv); }
