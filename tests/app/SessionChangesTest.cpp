#include <gtest/gtest.h>

#include "support/SessionTestSupport.h"

namespace kel {
namespace {

// What a command reports is what a window re-reads: a missing part leaves a
// panel stale, a part too many costs a repaint.
class SessionChanges : public ::testing::Test {
protected:
    void Open() { session.ShowProfile(test::SaveProfile(dir, test::ConstantProfile(2))); }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

TEST_F(SessionChanges, OpeningReportsTheProfileAndWhatItCopiesOnce) {
    Open();
    TSessionChanges opened = session.TakeChanges();
    for (TSessionChanges part : {chProfile, chTexts, chFields, chPlot, chStatus, chResults})
        EXPECT_TRUE(opened & part) << part;
    EXPECT_FALSE(opened & chSelection);
    EXPECT_EQ(session.TakeChanges(), chNone);
}

TEST_F(SessionChanges, DragReportsSelectionPlotAndResults) {
    Open();
    session.ExpandClick();
    session.TakeChanges();
    session.SelectTimes(10, 20);
    EXPECT_EQ(session.TakeChanges(), chSelection | chPlot | chResults | chModes);  // "Expand" released
    session.SelectTimes(20, 10);
    EXPECT_EQ(session.TakeChanges(), chSelection | chPlot | chResults);
    session.sbKeepLogClick();
    EXPECT_EQ(session.TakeChanges(), chModes);
    session.SetLogFileName(dir.File("multilog.csv"));
    EXPECT_FALSE(session.SetSensitMode(5));
    EXPECT_EQ(session.TakeChanges(), chNone);
}

TEST_F(SessionChanges, FieldAndTextEditsReportOnlyRealChanges) {
    Open();
    session.TakeChanges();
    EXPECT_FALSE(session.EditField(TFieldId::feTg, "abc"));
    EXPECT_EQ(session.TakeChanges(), chFields);  // the typed text gives way to the old value's
    ASSERT_TRUE(session.EditField(TFieldId::feDe200, "2.5"));
    EXPECT_EQ(session.TakeChanges(), chFields | chPlot | chResults);
    ASSERT_TRUE(session.EditField(TFieldId::feDe200, "2.5"));
    EXPECT_EQ(session.TakeChanges(), chNone);
    session.SpinField(TFieldId::feDe200, true);
    EXPECT_EQ(session.TakeChanges(), chFields | chPlot | chResults);
    EXPECT_DOUBLE_EQ(session.Profile().De200, 2.6);

    TProfileTexts texts = session.Texts();
    session.UpdateComments(texts);
    EXPECT_EQ(session.TakeChanges(), chPlot);
    texts.Comment = "second run";
    session.UpdateComments(texts);
    EXPECT_EQ(session.TakeChanges(), chTexts | chPlot);
    EXPECT_NE(session.Graph1().TitleTop().find("second run"), std::string::npos);
}

TEST_F(SessionChanges, AGraphChangedWithoutACommandIsReportedAsAPlotChange) {
    Open();
    session.TakeChanges();
    // As a control sizing the graph it draws changes it.
    session.DrawingGraph(1).SetWidth(session.Graph1().Width() + 40);
    EXPECT_EQ(session.TakeChanges(), chPlot);
    session.DrawingGraph(2).SetTitleBottom("mass");
    EXPECT_EQ(session.TakeChanges(), chPlot);
    session.DrawingGraph(2).SetTitleBottom("mass");
    EXPECT_EQ(session.TakeChanges(), chNone);
}

}  // namespace
}  // namespace kel
