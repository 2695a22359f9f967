// What the main graph shows after the commands that do not recompute on
// their own: the mode group, the text fields, a new profile elsewhere in time,
// "Time 0 at start", and the side graph of the isotope mode.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/SessionTestSupport.h"
#include "kinetics/KineticsLibrary.h"
#include "synth/KineticsGenerator.h"

namespace kel {
namespace {

using test::CommentsWithTag;

std::vector<std::string> ResultTexts(const TKelViewSession& session) {
    std::vector<std::string> texts;
    for (const TComment& c : CommentsWithTag(session.Graph1(), 0)) texts.push_back(c.Text);
    return texts;
}

bool AnyNotAvailable(const std::vector<std::string>& texts) {
    return std::any_of(texts.begin(), texts.end(),
                       [](const std::string& t) { return t.find("n.a.") != std::string::npos; });
}

class SessionShownResults : public ::testing::Test {
protected:
    SessionShownResults() { test::UseKinetics(synth::DemoKineticsText()); }
    ~SessionShownResults() override { KineticsLibrary().Clear(); }
    std::string DemoProfile() const { return std::string(KELVIEW_SOURCE_DIR) + "/demo/breath-01.kel"; }
    std::string Saved(const TKel& profile, const std::string& name) { return test::SaveProfile(dir, profile, name); }
    // The channel lines of the count-rate mode begin with the channel's name.
    void ExpectCountRates() {
        EXPECT_EQ(session.Mode(), TPlotMode::Rate);
        EXPECT_EQ(session.Graph1().TitleLeft(), "c/s");
        ASSERT_EQ(session.Graph1().Curves.Count(), session.Profile().nim / 2 + 1);
        const std::vector<std::string> lines = ResultTexts(session);
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0].rfind(session.Profile().Name[1], 0), 0u) << lines[0];
        EXPECT_EQ(session.LogContext().mode, TPlotMode::Rate);
        // The value axis is the count rates', not the concentrations' left behind.
        const TCurve& total = *session.Graph1().Curves[session.Profile().nim / 2];
        const double highest = *std::max_element(total.Y.begin(), total.Y.begin() + total.Count);
        EXPECT_GE(session.Graph1().Ymax(), highest);
    }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

TEST_F(SessionShownResults, TheIntermediateResultsButtonTakesTheGraphOutOfPpbAndIsotopeMode) {
    session.ShowProfile(DemoProfile());
    session.BtnPpbClick();
    session.SelectAllClick();
    ASSERT_GT(session.Graph1().Curves.Count(), 0);
    const std::vector<std::string> ppbText = session.IntermediateResults();
    ASSERT_FALSE(ppbText.empty());
    session.sbInfoClick();
    EXPECT_FALSE(session.PpbDown());
    ASSERT_NO_FATAL_FAILURE(ExpectCountRates());
    EXPECT_EQ(session.IntermediateResults(), ppbText);  // still the last ppb calculation's
    session.sbInfoClick();
    EXPECT_EQ(session.ModeDown(), TModeButton::None);
    ASSERT_NO_FATAL_FAILURE(ExpectCountRates());

    session.btnIRClick();
    ASSERT_TRUE(session.IsotopeDown());
    ASSERT_EQ(ResultTexts(session)[0].rfind("(74)", 0), 0u);
    session.sbInfoClick();
    EXPECT_FALSE(session.SidePanelVisible());
    ASSERT_NO_FATAL_FAILURE(ExpectCountRates());
}

TEST_F(SessionShownResults, LeavingATextFieldKeepsTheResultsShown) {
    session.ShowProfile(DemoProfile());
    session.SelectTimes(20 * session.PointTime(), 60 * session.PointTime());
    for (bool ppb : {false, true}) {
        if (ppb) session.BtnPpbClick();
        const std::vector<std::string> shown = ResultTexts(session);
        ASSERT_GT(shown.size(), 3u);
        ASSERT_NE(shown[0].find("±"), std::string::npos) << shown[0];
        TProfileTexts texts = session.Texts();
        texts.Comment += " edited";
        session.UpdateComments(texts);
        EXPECT_EQ(session.Profile().comment, texts.Comment);
        EXPECT_NE(session.Graph1().TitleTop().find(" edited"), std::string::npos);
        EXPECT_EQ(ResultTexts(session), shown) << "ppb " << ppb;
    }
}

// A selection made on one profile may lie wholly beside the next one's
// points: the next is then shown with all of it selected, not as "n.a.".
TEST_F(SessionShownResults, AProfileBesideTheSelectionIsSelectedWhole) {
    TKel early = test::ConstantProfile(3);  // 0.6 s a point, cycles 49..249
    TKel late = test::ConstantProfile(3);
    late.jm = 1000;  // cycles 799..999: 479.4 s to 599.4 s with time 0 at start
    session.ShowProfile(Saved(early, "early.kel"));
    session.cbT0StartClick();
    session.SelectTimes(30, 40);
    ASSERT_FALSE(AnyNotAvailable(ResultTexts(session)));
    session.ShowProfile(Saved(late, "late.kel"));
    const double t = session.PointTime();
    EXPECT_DOUBLE_EQ(session.Selection()[0], 799 * t);
    EXPECT_DOUBLE_EQ(session.Selection()[1], 999 * t);
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{0, 200}));
    EXPECT_FALSE(AnyNotAvailable(ResultTexts(session)));

    // A selection that meets the new profile stays as it was.
    session.SelectTimes(850 * t, 860 * t);
    session.ShowProfile(Saved(late, "late2.kel"));
    EXPECT_EQ(session.Selection()[0], 850 * t);
    EXPECT_EQ(session.Selection()[1], 860 * t);
}

TEST_F(SessionShownResults, TimeZeroAtStartSelectsAllWhenTheCurvesLeaveTheAxis) {
    TKel late = test::ConstantProfile(3);
    late.jm = 1000;
    session.ShowProfile(Saved(late, "late.kel"));
    session.SelectTimes(10, 20);
    ASSERT_EQ(session.Graph1().xmax(), session.TotalTime());
    session.cbT0StartClick();  // the curves move to 479.4 s .. 599.4 s, beside 0 .. 120 s
    const double t = session.PointTime();
    EXPECT_DOUBLE_EQ(session.Graph1().xmin(), 799 * t);
    EXPECT_DOUBLE_EQ(session.Graph1().xmax(), 999 * t);
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{0, 200}));
    EXPECT_FALSE(AnyNotAvailable(ResultTexts(session)));
    session.cbT0StartClick();  // back: the axis is the unshifted range again
    EXPECT_EQ(session.Graph1().xmin(), 0);
    EXPECT_DOUBLE_EQ(session.Graph1().xmax(), session.TotalTime());
    EXPECT_EQ(session.SelectionToWindow(t), (std::pair<int, int>{0, 200}));

    // Where the shifted curves still meet the axis and the selection, both stay.
    TKel early = test::ConstantProfile(3);
    early.jm = 210;  // cycles 9..209: 5.4 s .. 125.4 s shifted
    session.ShowProfile(Saved(early, "early.kel"));
    session.SelectTimes(10, 20);
    session.cbT0StartClick();
    EXPECT_EQ(session.Selection()[0], 10);
    EXPECT_EQ(session.Selection()[1], 20);
}

// Single channels lie above their group's average, for which the main
// graph's value axis is made: the side graph has an axis of its own.
TEST_F(SessionShownResults, TheSideGraphHoldsEveryIonAverageInBothScales) {
    TKel profile = test::ConstantProfile(4);  // groups of two channels
    profile.ion = "FAMS H3O+";
    for (auto& c : profile.Counts[7]) c = 5000;  // channel 3: 25000 c/s beside 1500 c/s
    session.ShowProfile(Saved(profile, "fams.kel"));
    ASSERT_TRUE(session.IsotopeDown());
    const auto expectInside = [this](const char* what) {
        const TXYGraph& side = session.Graph2();
        ASSERT_EQ(side.Curves.Count(), 2) << what;
        for (int h = 0; h < 2; ++h)
            for (int u = 0; u < side.Curves[h]->Count; ++u) {
                const double y = side.Curves[h]->Y[static_cast<std::size_t>(u)];
                EXPECT_GE(y, side.Ymin()) << what << " curve " << h << " point " << u;
                EXPECT_LE(y, side.Ymax()) << what << " curve " << h << " point " << u;
            }
        EXPECT_EQ(side.YScale(), session.Graph1().YScale()) << what;
    };
    ASSERT_DOUBLE_EQ(session.Graph2().Curves[1]->Y[1], 25000);
    expectInside("log");
    session.LogplotCtrlEnter1Click();
    expectInside("linear");
    EXPECT_EQ(session.Graph2().Ymin(), 0);
    session.SelectTimes(0, 10 * session.PointTime());
    expectInside("linear after a drag");
}

}  // namespace
}  // namespace kel
