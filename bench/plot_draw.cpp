// Drawing a large graph: 15 line curves of 32767 points on a 1600 x 900
// image, against the same pixel points handed to bare QPainter::drawPolyline.
// The counter "ours/bare" is the ratio of the two (goal: at most 1.3).
#include <benchmark/benchmark.h>

#include "QtBenchMain.h"

#include <QImage>
#include <QPainter>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "LargeGraph.h"
#include "plot/Xygraphc.h"
#include "plot/qt/QtCanvas.h"

namespace {

using namespace kel;

constexpr int kCurves = bench::kGraphCurves;
constexpr int kPoints = bench::kGraphPoints;
constexpr int kWidth = bench::kGraphWidth;
constexpr int kHeight = bench::kGraphHeight;

struct Scene {
    Scene() {
        bench::FillLargeGraph(graph);
        // The same pixels for the bare run.
        graph.PlotRect = {graph.LeftMargin, graph.TopMargin, kWidth - graph.RightMargin, kHeight - graph.BottomMargin};
        for (int k = 0; k < kCurves; ++k) {
            const TCurve& c = *graph.Curves[k];
            std::vector<QPoint> points(kPoints);
            for (int i = 0; i < kPoints; ++i) {
                TPoint p = graph.ToPixel(c.X[static_cast<std::size_t>(i)], c.Y[static_cast<std::size_t>(i)]);
                points[static_cast<std::size_t>(i)] = QPoint(p.x, p.y);
            }
            pixels.push_back(std::move(points));
            colours.push_back(QColor(ColorRed(c.Pen.Color()), ColorGreen(c.Pen.Color()), ColorBlue(c.Pen.Color())));
        }
    }
    TXYGraph graph;
    std::vector<std::vector<QPoint>> pixels;
    std::vector<QColor> colours;
    QImage image{kWidth, kHeight, QImage::Format_ARGB32_Premultiplied};
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void DrawOurs(Scene& s) {
    s.image.fill(Qt::white);
    QPainter painter(&s.image);
    TQtCanvas canvas(painter);
    s.graph.Draw(canvas, {0, 0, kWidth, kHeight});
}

void DrawBare(Scene& s) {
    s.image.fill(Qt::white);
    QPainter painter(&s.image);
    for (int k = 0; k < kCurves; ++k) {
        QPen pen(s.colours[static_cast<std::size_t>(k)], 1);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.drawPolyline(s.pixels[static_cast<std::size_t>(k)].data(), kPoints);
    }
}

void BM_GraphDraw(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        DrawOurs(s);
        benchmark::DoNotOptimize(s.image.constBits());
    }
}
BENCHMARK(BM_GraphDraw)->Unit(benchmark::kMillisecond);

void BM_BarePolyline(benchmark::State& state) {
    Scene& s = TheScene();
    for (auto _ : state) {
        DrawBare(s);
        benchmark::DoNotOptimize(s.image.constBits());
    }
}
BENCHMARK(BM_BarePolyline)->Unit(benchmark::kMillisecond);

// Both in turn, so that the ratio compares runs under the same machine load.
void BM_OursOverBare(benchmark::State& state) {
    Scene& s = TheScene();
    using Clock = std::chrono::steady_clock;
    Clock::duration ours{}, bare{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        DrawOurs(s);
        auto t1 = Clock::now();
        DrawBare(s);
        auto t2 = Clock::now();
        ours += t1 - t0;
        bare += t2 - t1;
    }
    state.counters["ours/bare"] = std::chrono::duration<double>(ours).count() /
                                  std::chrono::duration<double>(bare).count();
}
BENCHMARK(BM_OursOverBare)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return kel::bench::RunInQApplication(argc, argv); }
