#include <gtest/gtest.h>

#include "RecordingCanvas.h"
#include "plot/GraphClipboard.h"
#include "plot/Xygraphc.h"

namespace kel {
namespace {

class CommentsTest : public ::testing::Test {
protected:
    CommentsTest() {
        g.SetOptions(0);
        g.Font().SetHeight(13);
        g.SetWidth(769);
        g.SetHeight(329);
    }
    TXYGraph g;
    test::RecordingCanvas c;
};

TEST_F(CommentsTest, PixelModeWithRightAlignment) {
    const TRect& r = g.PlotRect;
    g.AddComment(101, "Id=48.0:11.0pA", r.right - 10, r.top + 8, 258, clBlue, 0, 0);
    g.DrawComments(c);
    ASSERT_EQ(c.texts.size(), 1u);
    EXPECT_EQ(c.texts[0].x, 744);
    EXPECT_EQ(c.texts[0].y, 29);
    EXPECT_EQ(c.texts[0].align, taRight);
    EXPECT_EQ(c.texts[0].font.Color(), clBlue);
    // The box lies right of the point whatever the alignment; without a
    // background colour it is not filled.
    ASSERT_EQ(c.shapes.size(), 1u);
    EXPECT_EQ(c.shapes[0].box, (TRect{744, 29, 744 + 14 * 7, 29 + 13}));
    EXPECT_EQ(c.shapes[0].brush.Style(), bsClear);
    EXPECT_EQ(c.shapes[0].pen.Style(), psClear);
}

TEST_F(CommentsTest, LegendLinesHaveFilledBoxes) {
    const TColor grey = PaletteColor(0xE0, 0xE0, 0xE0);
    g.AddComment(0, "19", 80, 50, 256, PaletteColor(255, 0, 0), grey, fsBold);
    g.AddComment(0, "37", 80, 70.5, 256, 0, grey, 0);
    g.DrawComments(c);
    EXPECT_EQ(c.shapes[0].box, (TRect{80, 50, 94, 63}));
    EXPECT_EQ(c.shapes[0].brush.Color(), grey);
    EXPECT_EQ(c.shapes[0].brush.Style(), bsSolid);
    EXPECT_EQ(c.texts[0].font.Style(), fsBold);
    EXPECT_EQ(c.texts[0].align, taLeft | taTop);
    EXPECT_EQ(c.texts[1].y, 70);  // 70.5 rounds to even
    EXPECT_EQ(c.texts[1].font.Style(), 0);
}

TEST_F(CommentsTest, FractionModeCountsUpFromTheBottom) {
    g.AddComment(0, "half", 0.5, 0.25, 0x200 | taCenter, 0, 0, 0);
    g.DrawComments(c);
    ASSERT_EQ(c.texts.size(), 1u);
    EXPECT_EQ(c.texts[0].x, 398);  // 397.5 to even
    EXPECT_EQ(c.texts[0].y, 231);
    EXPECT_TRUE(c.shapes.empty());
}

TEST_F(CommentsTest, DataModeOutsideThePlotIsNotDrawnButPlaced) {
    g.AddComment(0, "inside", 50, 50, 0, 0, 0, 0);
    g.AddComment(0, "outside", 200, 50, 0, 0, 0, 0);
    g.DrawComments(c);
    EXPECT_EQ(c.TextStrings(), std::vector<std::string>{"inside"});
    EXPECT_EQ(c.texts[0].x, 398);
    EXPECT_EQ(c.texts[0].y, 161);
    EXPECT_EQ(g.Comments[1].PixelX, 41 + 1426);
    EXPECT_EQ(g.Comments[1].PixelY, 161);
}

// Stands in for the platform clipboard.
class RecordingClipboard : public TGraphClipboard {
public:
    bool PutPicture(int w, int h, const std::function<void(TCanvas&)>& draw) override {
        width = w;
        height = h;
        draw(canvas);
        return true;
    }
    int width = 0, height = 0;
    test::RecordingCanvas canvas;
};

TEST_F(CommentsTest, CopyToClipboardDrawsTheWholeGraphWithAMargin) {
    RecordingClipboard clipboard;
    g.SetTitleTop("Time profiles");
    g.AddComment(0, "19", 80, 50, 256, 0, 0, 0);
    EXPECT_TRUE(g.CopyToClipboard(clipboard));
    EXPECT_EQ(clipboard.width, 779);
    EXPECT_EQ(clipboard.height, 339);
    const auto& ops = clipboard.canvas.ops;
    ASSERT_GE(ops.size(), 4u);
    EXPECT_EQ(ops[0], "Pen 0 1 solid");
    EXPECT_EQ(ops[1], "Brush 16777215 solid");
    EXPECT_EQ(ops[2], "Font System 11");
    EXPECT_TRUE(clipboard.canvas.FindText("Time profiles"));
    EXPECT_TRUE(clipboard.canvas.FindText("19"));
    EXPECT_EQ(g.PlotRect, (TRect{41, 21, 754, 301}));
}

}  // namespace
}  // namespace kel
