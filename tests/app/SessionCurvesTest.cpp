// Curves hidden and shown, the clock-time axis and the window's points as
// CSV, driven as a user drives the window.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "common/NumberText.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/CurveColors.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

class SessionCurves : public ::testing::Test {
protected:
    SessionCurves() {
        KineticsLibrary().Clear();
        session.SetLogFileName(dir.File("multilog.csv"));
    }
    void Open(const TKel& profile, const std::string& name = "test.kel") {
        ASSERT_FALSE(session.ShowProfile(test::SaveProfile(dir, profile, name)).Failed());
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TCurveEntry& entry : session.CurveList()) names.push_back(entry.Name);
        return names;
    }
    bool Hidden(int curve) const { return session.Graph1().Curves[curve]->Hidden; }
    // The result line of curve c, which the window calculation puts in row c.
    const TComment* ResultLine(int c) const {
        for (const TComment& comment : session.Graph1().Comments)
            if (comment.Tag == 0 && comment.PosY == 50 + 20 * c) return &comment;
        return nullptr;
    }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

TEST_F(SessionCurves, HidingRedrawsOnlyWhileResultsAndLogsKeepEveryChannel) {
    Open(test::GrowingProfile());
    const std::vector<TCurveEntry> list = session.CurveList();
    ASSERT_EQ(Names(), (std::vector<std::string>{"19", "37", "55", "(total)"}));
    EXPECT_EQ(list[3].Color, CurveColor(13));
    for (const TCurveEntry& entry : list) {
        EXPECT_FALSE(entry.Hidden);
        EXPECT_NE(entry.MeanText.find(" c/s"), std::string::npos) << entry.Name;
    }
    session.btLogResultsClick();
    const auto run = session.LastWindowRun();
    const double ymax = session.Graph1().Ymax();
    session.TakeChanges();

    session.ToggleCurve(3);  // the total, far above the channels
    EXPECT_TRUE(Hidden(3));
    EXPECT_TRUE(session.CurveList()[3].Hidden);
    EXPECT_EQ(session.LastWindowRun(), run);  // nothing was computed again
    EXPECT_EQ(session.TakeChanges() & chResults, 0u);
    // The axes "Show all" fitted now fit the curves still shown.
    EXPECT_LT(session.Graph1().Ymax(), ymax);
    ASSERT_NE(ResultLine(3), nullptr);
    EXPECT_NE(ResultLine(3)->FontColor, CurveColor(13));  // dimmed
    EXPECT_EQ(ResultLine(0)->FontColor, CurveColor(0));
    // The values under the cursor name only the curves drawn.
    const TRect& r = session.Graph1().PlotRect;
    const TReadout readout = session.ReadoutAt((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    ASSERT_TRUE(readout.Shown);
    EXPECT_EQ(readout.Values.size(), 3u);

    session.SetCurveHidden("37", true);
    session.btLogResultsClick();
    const std::vector<std::string> log = Lines(test::ReadFile(session.LogFileName()));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[2], log[1]);  // the hidden channels are logged as before
    EXPECT_EQ(session.ChannelResults().size(), 3u);

    session.ToggleCurve(3);
    EXPECT_FALSE(Hidden(3));
    EXPECT_EQ(ResultLine(3)->FontColor, CurveColor(13));
    session.ToggleCurve(7);  // no such curve
    session.ToggleCurve(-1);
    EXPECT_EQ(session.HiddenCurves().Rate, (std::set<std::string>{"37"}));
}

TEST_F(SessionCurves, HiddenNamesStayPerModeAndChannelNameAcrossProfilesAndSettings) {
    Open(test::GrowingProfile());
    session.SetCurveHidden("37", true);
    Open(test::ConstantProfile(1), "one.kel");  // no channel 37: nothing hidden
    EXPECT_EQ(Names(), (std::vector<std::string>{"19", "(total)"}));
    EXPECT_FALSE(Hidden(0));
    Open(test::ConstantProfile(2), "two.kel");
    EXPECT_FALSE(Hidden(0));
    EXPECT_TRUE(Hidden(1));
    EXPECT_TRUE(session.CurveList()[1].Hidden);

    // The D/H mode keeps its own names: its signal named 19 stays shown
    // while channel 19 is hidden in the count-rate mode.
    session.SetCurveHidden("19", true);
    session.btnIRClick();
    ASSERT_TRUE(session.IsotopeDown());
    EXPECT_FALSE(Hidden(0));
    session.ToggleCurve(3);
    EXPECT_EQ(session.HiddenCurves().Isotope, (std::set<std::string>{"R1liq"}));
    session.btnIRClick();
    EXPECT_TRUE(Hidden(0));

    session.ClockTimeClick();
    MemorySettings store;
    session.SaveSettings(store);
    TKelViewSession later{test::TestServices()};
    later.LoadSettings(store);
    EXPECT_EQ(later.HiddenCurves(), session.HiddenCurves());
    EXPECT_TRUE(later.ClockTimeOn());
    // Nothing stored leaves a fresh session as it is.
    TKelViewSession fresh{test::TestServices()};
    fresh.LoadSettings(MemorySettings());
    EXPECT_EQ(fresh.HiddenCurves(), THiddenCurves{});
    EXPECT_FALSE(fresh.ClockTimeOn());
}

TEST_F(SessionCurves, AClickOnAResultLineTogglesItsCurveAndADragStillSelects) {
    Open(test::GrowingProfile());
    const std::array<double, 2> selection = session.Selection();
    const TComment* line = ResultLine(1);
    ASSERT_NE(line, nullptr);
    const int x = static_cast<int>(line->PosX) + 6, y = static_cast<int>(line->PosY) + 5;
    session.MainGraphTool(x, y, x, y);
    EXPECT_TRUE(Hidden(1));
    EXPECT_EQ(session.Selection(), selection);
    line = ResultLine(1);
    session.MainGraphTool(x, y, x, y);  // the dimmed line shows it again
    EXPECT_FALSE(Hidden(1));

    // A click beside the lines selects an instant; a drag over them a window.
    const TRect& r = session.Graph1().PlotRect;
    session.MainGraphTool(r.right - 5, r.bottom - 5, r.right - 5, r.bottom - 5);
    EXPECT_NE(session.Selection(), selection);
    session.MainGraphTool(x, y, x + 200, y);
    EXPECT_FALSE(Hidden(1));
    EXPECT_NEAR(session.Selection()[0], session.Graph1().PixelToX(x), 1e-9);
}

TEST_F(SessionCurves, WindowDataHoldsEveryPointOfTheWindowWithItsClockTime) {
    TKel profile = test::GrowingProfile();
    profile.Name[3] = "37,\"b\"";
    Open(profile);
    session.btnApplyDeMrClick();  // "correct" up: the plain rates 50 (i + 1)(k + 1)
    session.SetCurveHidden("55", true);  // hidden curves are exported all the same
    session.SelectTimes(6, 7.2);         // points 10 to 12
    const auto [start, end] = session.SelectionToWindow(session.PointTime());
    ASSERT_EQ(start, 10);
    ASSERT_EQ(end, 12);
    const std::string csv = session.WindowDataCsv();
    EXPECT_NE(csv.find("\r\n"), std::string::npos);
    const std::vector<std::string> lines = Lines(csv);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "time [s],clock time,19 [c/s],\"37,\"\"b\"\" [c/s]\",55 [c/s]");
    // Point 10 is cycle 59 of a recording that began at 10:30:00, 0.6 s a cycle.
    EXPECT_EQ(lines[1], "6,10:30:35,550,1100,1650");
    EXPECT_EQ(lines[2], "6.6,10:30:36,600,1200,1800");
    EXPECT_EQ(lines[3], "7.2,10:30:36,650,1300,1950");

    ASSERT_TRUE(session.ExportWindowData(dir.File("window.csv")).ok());
    EXPECT_EQ(test::ReadFile(dir.File("window.csv")), csv);
    const TIoResult failed = session.ExportWindowData(dir.File("missing/window.csv"));
    EXPECT_FALSE(failed.ok());
    EXPECT_NE(failed.description().find("window.csv"), std::string::npos);
}

TEST_F(SessionCurves, ClockTimeLabelsTheAxisOnlyWithThePlainTimeAxis) {
    Open(test::GrowingProfile());
    EXPECT_TRUE(std::isnan(session.Graph1().XClockOrigin));
    session.TakeChanges();
    session.ClockTimeClick();
    EXPECT_TRUE(session.ClockTimeOn());
    EXPECT_NE(session.TakeChanges() & chModes, 0u);
    // x = 0 is the oldest stored point, cycle 49: 10:30:29.4.
    EXPECT_NEAR(session.Graph1().XClockOrigin, 10 * 3600 + 30 * 60 + 29.4, 1e-6);
    EXPECT_EQ(session.Graph1().TitleBottom(), "time of day");

    session.cbT0StartClick();
    EXPECT_FALSE(session.ClockTimeAvailable());
    EXPECT_TRUE(std::isnan(session.Graph1().XClockOrigin));
    EXPECT_EQ(session.Graph1().TitleBottom(), "time [s]");
    session.ClockTimeClick();  // greyed: nothing happens
    EXPECT_TRUE(session.ClockTimeOn());
    session.cbT0StartClick();
    EXPECT_EQ(session.Graph1().TitleBottom(), "time of day");
    // Another profile's date moves the origin.
    TKel later = test::GrowingProfile();
    later.DateOrigin += 1.0 / 24;
    Open(later, "later.kel");
    EXPECT_NEAR(session.Graph1().XClockOrigin, 11 * 3600 + 30 * 60 + 29.4, 1e-6);
    session.ClockTimeClick();
    EXPECT_TRUE(std::isnan(session.Graph1().XClockOrigin));
}

}  // namespace
}  // namespace kel
