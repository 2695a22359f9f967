// The graph control driven with real mouse events on the offscreen platform.
#include <gtest/gtest.h>

#include <QMenu>
#include <QPixmap>
#include <QSignalSpy>
#include <QTest>

#include "plot/qt/XYGraphBox.h"

namespace kel {
namespace {

using Report = std::array<int, 4>;

Report LastTool(const QSignalSpy& spy) {
    const QList<QVariant> args = spy.last();
    return {args[1].toInt(), args[2].toInt(), args[3].toInt(), args[4].toInt()};
}

// Counts the paints a control receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget& widget) { widget.installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

struct ShownBox {
    ShownBox(int w, int h) {
        box.resize(w, h);
        box.SetAnimated(true);
        box.SetSelect(xsVertical);
        box.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&box));
    }
    TXYGraphBox box;
};

TEST(GraphBoxDrag, ReportsItsEndsInDragOrder) {
    ShownBox shown(400, 300);
    QSignalSpy tool(&shown.box, &TXYGraphBox::Tool);

    QTest::mouseClick(&shown.box, Qt::LeftButton, {}, QPoint(120, 80));
    ASSERT_EQ(tool.count(), 1);
    EXPECT_EQ(LastTool(tool), (Report{120, 80, 120, 80}));

    QTest::mousePress(&shown.box, Qt::LeftButton, {}, QPoint(300, 100));
    QTest::mouseMove(&shown.box, QPoint(250, 110));
    EXPECT_TRUE(shown.box.Dragging());
    QTest::mouseRelease(&shown.box, Qt::LeftButton, {}, QPoint(90, 120));
    ASSERT_EQ(tool.count(), 2);
    EXPECT_EQ(LastTool(tool), (Report{300, 100, 90, 120}));
    EXPECT_FALSE(shown.box.Dragging());
}

TEST(GraphBoxDrag, StretchedGraphReportsGraphPixels) {
    ShownBox shown(400, 200);
    shown.box.SetAdjust(false);
    shown.box.XYgraph().SetWidth(800);
    shown.box.XYgraph().SetHeight(400);
    shown.box.SetStretch(true);
    QSignalSpy tool(&shown.box, &TXYGraphBox::Tool);
    QTest::mousePress(&shown.box, Qt::LeftButton, {}, QPoint(100, 50));
    QTest::mouseRelease(&shown.box, Qt::LeftButton, {}, QPoint(200, 100));
    ASSERT_EQ(tool.count(), 1);
    EXPECT_EQ(LastTool(tool), (Report{200, 100, 400, 200}));
}

TEST(GraphBoxDrag, RightButtonOpensTheMenuAndStartsNoDrag) {
    ShownBox shown(300, 200);
    QMenu menu;
    menu.addAction(QStringLiteral("Show all"));
    shown.box.SetPopupMenu(&menu);
    QSignalSpy tool(&shown.box, &TXYGraphBox::Tool);
    // Through the window, as the platform delivers it, so that Qt makes the
    // context-menu event of the press.
    QTest::mousePress(shown.box.windowHandle(), Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_FALSE(shown.box.Dragging());
    EXPECT_TRUE(menu.isVisible());
    menu.hide();
    QTest::mouseRelease(shown.box.windowHandle(), Qt::RightButton, {}, QPoint(60, 50));
    EXPECT_EQ(tool.count(), 0);
}

TEST(GraphBoxRepaint, OnlyRealChangesRepaint) {
    ShownBox shown(300, 200);
    QCoreApplication::processEvents();
    PaintCounter counter(shown.box);
    const double current = shown.box.Selection(0);
    shown.box.SetSelection(0, current);
    shown.box.SetColorBox(shown.box.ColorBox());
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);

    shown.box.SetSelection(0, current + 10);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 1);

    shown.box.XYgraph().Setxmax(500);  // the graph's own change repaints too
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 2);
}

// The control drawn onto a surface of the given pixel ratio, as a screen of
// that ratio shows it.
QImage Rendered(TXYGraphBox& box, qreal ratio) {
    QPixmap pixmap(box.size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    box.render(&pixmap);
    return pixmap.toImage();
}

TEST(GraphBoxHighDpi, DrawnAtTheSurfacesPixelRatioAlsoThroughTheBuffer) {
    TXYGraphBox box;
    box.resize(301, 200);
    TXYGraph& graph = box.XYgraph();
    graph.Font().SetHeight(13);
    graph.SetTitleLeft("c/s");
    graph.SetTitleBottom("time [s]");
    const std::vector<double> y{3, 7, 2, 9, 4, 8};
    graph.SetCurveX(0, 6, 0, 50);
    graph.SetCurveY(0, y.data(), 6);
    graph.SetCurveStyle(0, csLine);
    graph.CurvePen(0).SetColor(RGBColor(255, 0, 0));
    graph.Setxmax(50);
    graph.AutoScaleY();
    box.SetSelection(0, 10);
    box.SetSelection(1, 30);
    const QImage plain = Rendered(box, 1);
    for (const qreal ratio : {2.0, 1.5}) {
        box.SetAnimated(false);
        const QImage direct = Rendered(box, ratio);
        box.SetAnimated(true);
        const QImage buffered = Rendered(box, ratio);
        ASSERT_EQ(buffered.size(), (box.size() * ratio)) << ratio;
        // The off-screen picture is the picture, pixel for pixel: composed at
        // the surface's resolution and copied without a shift.
        EXPECT_TRUE(buffered == direct) << ratio;
        // Drawn at that resolution, not an enlarged picture of the plain one.
        const QImage enlarged = plain.scaled(buffered.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
                                    .convertToFormat(buffered.format());
        EXPECT_FALSE(buffered == enlarged) << ratio;
        int red = 0, grey = 0;
        for (int py = 0; py < buffered.height(); ++py)
            for (int px = 0; px < buffered.width(); ++px) {
                const QRgb pixel = buffered.pixel(px, py);
                red += pixel == qRgb(255, 0, 0);
                grey += pixel == qRgb(0xC0, 0xC0, 0xC0);
            }
        EXPECT_GT(red, 100) << ratio;        // the curve
        EXPECT_GT(grey, 10000) << ratio;     // the plot area beside the selected band
    }
}

}  // namespace
}  // namespace kel
