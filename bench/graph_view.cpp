// The main graph control at 1600 x 900 with 15 curves of 32767 points, on
// the offscreen platform, against one full repaint of the same control:
// - "wheel/full": one wheel notch, from the event to the repainted graph
//   (in and out in turn, so the graph drawn stays the same size; goal: at
//   most 1.1);
// - "cursor/full": one mouse move that moves the cursor line and its box of
//   16 lines of values (goal: at most 0.05).
// All three are timed in turn in every iteration, so the ratios compare
// runs under the same machine load.
#include <benchmark/benchmark.h>

#include "QtBenchMain.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <chrono>

#include "LargeGraph.h"
#include "plot/GraphView.h"
#include "plot/qt/XYGraphBox.h"

namespace {

using namespace kel;
using Clock = std::chrono::steady_clock;

constexpr int kMovesPerIteration = 50;

struct Scene {
    Scene() {
        box.resize(bench::kGraphWidth, bench::kGraphHeight);
        box.SetAnimated(true);
        box.SetSelect(xsVertical);
        bench::FillLargeGraph(box.XYgraph());
        // What the window binds: the zoom moves the axes only; a move shows
        // the time and one value per curve.
        QObject::connect(&box, &TXYGraphBox::Zoom, &box, [this](Qt::Orientation, double at, double factor) {
            RestoreAxes(box.XYgraph(), ZoomedX(box.XYgraph(), at, factor));
        });
        QObject::connect(&box, &TXYGraphBox::CursorMoved, &box, [this](int x, int y) {
            const TXYGraph& g = box.XYgraph();
            std::vector<TXYGraphBox::TCursorLine> lines;
            lines.push_back({QStringLiteral("t=%1 s").arg(g.PixelToX(x), 0, 'f', 2), Qt::black});
            for (int k = 0; k < g.Curves.Count(); ++k)
                lines.push_back({QStringLiteral("curve %1: %2 c/s").arg(k).arg(g.Curves[k]->Y[static_cast<std::size_t>(x)], 0, 'g', 4),
                                 Qt::darkBlue});
            box.ShowCursor(x, y, lines);
        });
        box.show();
        QCoreApplication::processEvents();
    }
    TXYGraphBox box;
};

void FullRepaint(Scene& s) {
    s.box.RequestRepaint();
    s.box.repaint();
}

void WheelNotch(Scene& s, int delta) {
    const QPointF at(700, 400);
    QWheelEvent event(at, s.box.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&s.box, &event);
    QCoreApplication::processEvents();
}

void CursorMoves(Scene& s, int iteration) {
    for (int i = 0; i < kMovesPerIteration; ++i) {
        const QPointF at(300 + (iteration + i) % 600, 300);
        QMouseEvent event(QEvent::MouseMove, at, s.box.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&s.box, &event);
        QCoreApplication::processEvents();
    }
}

void BM_GraphView(benchmark::State& state) {
    static Scene s;
    FullRepaint(s);
    Clock::duration full{}, wheel{}, moves{};
    int iteration = 0;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        FullRepaint(s);
        const auto t1 = Clock::now();
        WheelNotch(s, iteration % 2 == 0 ? 120 : -120);
        const auto t2 = Clock::now();
        CursorMoves(s, iteration++);
        const auto t3 = Clock::now();
        full += t1 - t0;
        wheel += t2 - t1;
        moves += t3 - t2;
    }
    const auto seconds = [](Clock::duration d) { return std::chrono::duration<double>(d).count(); };
    state.counters["wheel/full"] = seconds(wheel) / seconds(full);
    state.counters["cursor/full"] = seconds(moves) / kMovesPerIteration / seconds(full);
}
BENCHMARK(BM_GraphView)->Unit(benchmark::kMillisecond)->MinTime(3);

}  // namespace

int main(int argc, char** argv) { return kel::bench::RunInQApplication(argc, argv); }
