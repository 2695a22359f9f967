// Drawing a large graph: 15 line curves of 32767 points on a 1600 x 900
// image, against the same pixel points handed to bare QPainter::drawPolyline.
// The counter "ours/bare" is the ratio of the two (goal: at most 1.3).
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "plot/Xygraphc.h"
#include "plot/qt/QtCanvas.h"

namespace {

using namespace kel;

constexpr int kCurves = 15;
constexpr int kPoints = 32767;
constexpr int kWidth = 1600;
constexpr int kHeight = 900;

// Count-rate-like curves on a log axis: levels from 10 to 1e6 c/s with a
// slow breathing swing and point-to-point scatter.
struct Scene {
    Scene() {
        graph.Font().SetHeight(13);
        graph.SetWidth(kWidth);
        graph.SetHeight(kHeight);
        graph.SetYScale(scLog10);
        graph.SetTitleLeft("c/s");
        graph.SetTitleBottom("time [s]");
        std::vector<double> y(kPoints);
        unsigned seed = 12345;
        for (int k = 0; k < kCurves; ++k) {
            const double level = std::pow(10.0, 1 + 5.0 * k / (kCurves - 1));
            for (int i = 0; i < kPoints; ++i) {
                seed = seed * 1103515245u + 12345u;
                const double noise = ((seed >> 8) % 1000) / 1000.0 - 0.5;
                y[static_cast<std::size_t>(i)] = level * (1 + 0.5 * std::sin(i / 400.0 + k) + 0.4 * noise);
            }
            graph.SetCurveX(k, kPoints, 0, kPoints - 1);
            graph.SetCurveY(k, y.data(), kPoints);
            graph.SetCurveStyle(k, csLine);
            graph.CurvePen(k).SetColor(RGBColor(40 * k % 256, 90 * k % 256, 160));
        }
        graph.Setxmax(kPoints - 1);
        graph.AutoScaleY();
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

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
