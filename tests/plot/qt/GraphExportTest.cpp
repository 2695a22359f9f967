#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include "common/SafeFile.h"
#include "plot/qt/ClipboardPicture.h"
#include "plot/qt/GraphExport.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

class ExportTest : public ::testing::Test {
protected:
    ExportTest() {
        g.Font().SetHeight(13);
        g.SetWidth(400);
        g.SetHeight(300);
        g.SetTitleTop("Export");
        const double y[] = {10, 80, 40};
        g.SetCurveX(0, 3, 0, 100);
        g.SetCurveY(0, y, 3);
    }
    TXYGraph g;
    test::ScratchDir dir;
};

TEST_F(ExportTest, FormatFromTheExtension) {
    TImageFormat f{};
    EXPECT_TRUE(ImageFormatOfPath("a/b.PNG", f));
    EXPECT_EQ(f, TImageFormat::Png);
    EXPECT_TRUE(ImageFormatOfPath("x.svg", f));
    EXPECT_EQ(f, TImageFormat::Svg);
    EXPECT_TRUE(ImageFormatOfPath("x.Pdf", f));
    EXPECT_EQ(f, TImageFormat::Pdf);
    EXPECT_FALSE(ImageFormatOfPath("x.jpg", f));
    EXPECT_FALSE(ImageFormatOfPath("some.dir/file", f));
}

TEST_F(ExportTest, PngHasTheRequestedSizeAndTheGraphKeepsItsOwn) {
    std::string path = dir.File("graph.png");
    ASSERT_TRUE(ExportGraph(g, path, TImageFormat::Png, 1200, 700));
    QImage image(QString::fromStdString(path));
    EXPECT_EQ(image.width(), 1200);
    EXPECT_EQ(image.height(), 700);
    // The frame of the plot at the large size: bottom edge at 700 - 28.
    EXPECT_EQ(image.pixelColor(600, 672), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(600, 680).red(), 255);
    EXPECT_EQ(g.Width(), 400);
    EXPECT_EQ(g.Height(), 300);
    EXPECT_EQ(g.PlotRect, (TRect{41, 21, 385, 272}));
}

TEST_F(ExportTest, SvgAndPdf) {
    ASSERT_TRUE(ExportGraph(g, dir.File("g.svg"), TImageFormat::Svg, 640, 480));
    std::string svg = test::ReadFile(dir.File("g.svg"));
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("viewBox=\"0 0 640 480\""), std::string::npos);
    EXPECT_NE(svg.find("Export"), std::string::npos);
    ASSERT_TRUE(ExportGraph(g, dir.File("g.pdf"), TImageFormat::Pdf, 640, 480));
    std::string pdf = test::ReadFile(dir.File("g.pdf"));
    EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
    EXPECT_NE(pdf.find("/MediaBox [0 0 640.000000 480.000000]"), std::string::npos);
}

TEST_F(ExportTest, FailuresKeepTheOldFile) {
    std::string path = dir.File("keep.png");
    ASSERT_TRUE(ReplaceFileAtomically(path, "old"));
    std::string error;
    EXPECT_FALSE(ExportGraph(g, path, TImageFormat::Png, 50, 300, &error));
    EXPECT_NE(error.find("50 x 300"), std::string::npos);
    EXPECT_FALSE(ExportGraph(g, path, TImageFormat::Png, 20000, 300, &error));
    EXPECT_EQ(test::ReadFile(path), "old");
    EXPECT_FALSE(ExportGraph(g, dir.File("missing/x.png"), TImageFormat::Png, 400, 300, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(g.Width(), 400);
}

TEST_F(ExportTest, ClipboardPictureInBothForms) {
    TClipboardPicture picture = RenderClipboardPicture(g.Width() + 10, g.Height() + 10, [&](TCanvas& c) {
        g.Draw(c, {0, 0, g.Width(), g.Height()});
    });
    QImage png = QImage::fromData(picture.Png, "PNG");
    EXPECT_EQ(png.width(), 410);
    EXPECT_EQ(png.height(), 310);
    EXPECT_NE(picture.Svg.indexOf("viewBox=\"0 0 410 310\""), -1);
    EXPECT_TRUE(RenderClipboardPicture(0, 10, [](TCanvas&) {}).Png.isEmpty());
}

}  // namespace
}  // namespace kel
