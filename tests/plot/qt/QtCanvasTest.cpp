#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "plot/qt/QtCanvas.h"

namespace kel {
namespace {

// A white image with a painter and a canvas on it.
struct Surface {
    explicit Surface(int w = 60, int h = 40) : image(w, h, QImage::Format_RGB32) {
        image.fill(Qt::white);
        painter.begin(&image);
        canvas = std::make_unique<TQtCanvas>(painter);
    }
    QImage Finish() {
        canvas.reset();
        painter.end();
        return image;
    }
    QImage image;
    QPainter painter;
    std::unique_ptr<TQtCanvas> canvas;
};

bool IsWhite(const QImage& image, int x, int y) { return image.pixel(x, y) == qRgb(255, 255, 255); }

TEST(QtCanvas, RectanglesExcludeTheirRightAndBottomEdges) {
    Surface s;
    TBrush green;
    green.SetColor(RGBColor(0, 255, 0));
    TPen red;
    red.SetColor(clRed);
    s.canvas->SetBrush(green);
    s.canvas->SetPen(red);
    s.canvas->Rectangle(10, 10, 20, 15);
    QImage image = s.Finish();
    EXPECT_EQ(image.pixel(10, 10), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(19, 14), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(15, 12), qRgb(0, 255, 0));
    EXPECT_TRUE(IsWhite(image, 20, 12));
    EXPECT_TRUE(IsWhite(image, 15, 15));
}

TEST(QtCanvas, ClearPenFillsTheWholeBoxAndPaletteColoursAreExact) {
    Surface s;
    TBrush grey;
    grey.SetColor(PaletteColor(0xE0, 0xE0, 0xE0));
    TPen none;
    none.SetStyle(psClear);
    s.canvas->SetPen(none);
    s.canvas->SetBrush(grey);
    s.canvas->Rectangle(5, 5, 8, 7);
    s.canvas->FillRect({30, 30, 32, 32}, RGBColor(0, 0, 255));
    QImage image = s.Finish();
    EXPECT_EQ(image.pixel(5, 5), qRgb(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(image.pixel(7, 6), qRgb(0xE0, 0xE0, 0xE0));
    EXPECT_TRUE(IsWhite(image, 8, 6));
    EXPECT_EQ(image.pixel(31, 31), qRgb(0, 0, 255));
    EXPECT_TRUE(IsWhite(image, 32, 31));
}

TEST(QtCanvas, JoinedLinesAreDrawnWhenTheRunEnds) {
    Surface s;
    s.canvas->MoveTo(2, 5);
    s.canvas->LineTo(30, 5);
    s.canvas->LineTo(30, 30);
    s.canvas->MoveTo(40, 2);  // ends the run; nothing drawn to here
    s.canvas->LineTo(50, 2);
    QImage pending = s.image.copy();
    EXPECT_TRUE(IsWhite(pending, 45, 2));  // still pending in the canvas
    QImage image = s.Finish();
    EXPECT_EQ(image.pixel(15, 5), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 20), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(45, 2), qRgb(0, 0, 0));
    EXPECT_TRUE(IsWhite(image, 35, 3));
}

TEST(QtCanvas, TextAlignmentPlacesTheReferencePoint) {
    Surface s(200, 60);
    TFont font;
    font.SetHeight(13);
    s.canvas->SetFont(font);
    const TSize size = s.canvas->TextExtent("10000");
    QFont q("Arial");
    q.setPixelSize(13);
    EXPECT_EQ(size.cx, QFontMetrics(q).horizontalAdvance("10000"));
    EXPECT_EQ(size.cy, QFontMetrics(q).height());
    s.canvas->SetTextAlign(taRight | taTop);
    s.canvas->TextOut(100, 10, "10000");
    QImage image = s.Finish();
    // Ink only left of x = 100 and from y = 10 down, within the extent.
    int minX = 1000, maxX = -1, minY = 1000;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!IsWhite(image, x, y)) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
            }
    EXPECT_LT(maxX, 100);
    EXPECT_GE(minX, 100 - size.cx);
    EXPECT_GE(minY, 10);
    EXPECT_LT(minY, 10 + size.cy);
}

TEST(QtCanvas, InvertingPenRestoresTheImageWhenDrawnTwice) {
    Surface s;
    TBrush black;
    black.SetColor(clBlack);
    s.canvas->FillRect({0, 0, 10, 40}, clBlack);
    TPen invert;
    invert.SetMode(pmNot);
    s.canvas->SetPen(invert);
    s.canvas->MoveTo(0, 20);
    s.canvas->LineTo(50, 20);
    s.canvas->Flush();
    EXPECT_EQ(s.image.pixel(5, 20), qRgb(255, 255, 255));
    EXPECT_EQ(s.image.pixel(20, 20), qRgb(0, 0, 0));
    s.canvas->MoveTo(0, 20);
    s.canvas->LineTo(50, 20);
    QImage image = s.Finish();
    EXPECT_EQ(image.pixel(5, 20), qRgb(0, 0, 0));
    EXPECT_TRUE(IsWhite(image, 20, 20));
}

}  // namespace
}  // namespace kel
