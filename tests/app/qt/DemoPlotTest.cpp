// Renders a demo profile's count rates the way the main window shows them
// and keeps the PNG in the build folder for a look.
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <filesystem>

#include "plot/qt/GraphExport.h"
#include "profile/Kel.h"

namespace kel {
namespace {

// The main window's curve colours.
constexpr TColor kColors[14] = {
    PaletteColor(0, 0, 0),       PaletteColor(255, 0, 0),   PaletteColor(0, 176, 0),   PaletteColor(128, 128, 0),
    PaletteColor(0, 0, 255),     PaletteColor(255, 0, 255), PaletteColor(0, 176, 176), PaletteColor(128, 128, 128),
    PaletteColor(128, 0, 0),     PaletteColor(0, 128, 0),   PaletteColor(0, 0, 128),   PaletteColor(128, 0, 128),
    PaletteColor(0, 128, 128),   PaletteColor(208, 192, 0)};

std::string BuildFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path().string();
}

void BuildCountRatePlot(const TKel& kel, TXYGraph& g) {
    g.Font().SetHeight(13);
    g.SetWidth(1200);
    g.SetHeight(600);
    g.MinLogSpan = 0.5;
    g.SetYScale(scLog10);
    g.SetTitleLeft("c/s");
    g.SetTitleRight("s");
    g.SetTitleBottom("time [s]");
    g.SetTitleTop(kel.ion + ", " + kel.reactant + ", " + kel.comment);
    double dwell = 0;
    for (int r = 0; r < kel.nim; ++r) dwell += kel.Cntm[static_cast<std::size_t>(r)];
    const double pointTime = dwell / kel.FScan;
    const int ions = kel.nim / 2;
    std::vector<double> y(static_cast<std::size_t>(kel.njm));
    for (int k = 0; k < ions; ++k) {
        const auto row = static_cast<std::size_t>(2 * k + 1);
        for (int i = 0; i < kel.njm; ++i) {
            const auto slot = static_cast<std::size_t>((i + kel.jm) % kel.njm);
            y[static_cast<std::size_t>(i)] =
                kel.Cntm[row] ? kel.Counts[row][slot] * kel.FScan / kel.Cntm[row] : 0.0;
        }
        g.SetCurveX(k, kel.njm, 0, (kel.njm - 1) * pointTime);
        g.SetCurveY(k, y.data(), kel.njm);
        g.SetCurveStyle(k, csLine);
        g.CurvePen(k).SetColor(kColors[k % 14]);
        g.AddComment(0, kel.Name[row], 80, 50 + 20 * k, 256, kColors[k % 14], PaletteColor(0xE0, 0xE0, 0xE0), 0);
    }
    g.Setxmin(0);
    g.Setxmax((kel.njm - 1) * pointTime);
    g.AutoScaleY();
    g.AddComment(101, "Id=48.0:11.0pA  fr=12.50", g.PlotRect.right - 10, g.PlotRect.top + 8, 258, clBlue, 0, 0);
}

TEST(DemoPlot, CountRatesOfABreathProfile) {
    TKel kel;
    kel.LoadFromFile(std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel");
    ASSERT_GT(kel.njm, 1);
    ASSERT_EQ(kel.nim / 2, 14);
    TXYGraph g;
    BuildCountRatePlot(kel, g);
    const std::string path = BuildFolder() + "/demo-count-rates.png";
    std::string error;
    ASSERT_TRUE(ExportGraph(g, path, TImageFormat::Png, g.Width(), g.Height(), &error)) << error;
    QImage image(QString::fromStdString(path));
    ASSERT_EQ(image.width(), 1200);
    // The legend box of the first channel is light grey around black text.
    EXPECT_EQ(image.pixelColor(81, 51), QColor(0xE0, 0xE0, 0xE0));
    // Every channel's colour shows somewhere in the plot area.
    int coloured = 0;
    for (int y = 21; y < 600 - 28; ++y)
        for (int x = 42; x < 1200 - 15; ++x)
            if (image.pixelColor(x, y) == QColor(255, 0, 0)) ++coloured;
    EXPECT_GT(coloured, 100);
}

}  // namespace
}  // namespace kel
