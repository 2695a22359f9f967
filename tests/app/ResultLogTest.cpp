#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <algorithm>

#include "support/SessionTestSupport.h"
#include "common/NumberText.h"
#include "common/TextEncoding.h"
#include "kinetics/CountAccess.h"
#include "kinetics/KineticsLibrary.h"
#include "reporting/Headspace.h"
#include "reporting/ResultLog.h"

namespace kel {
namespace {

using Texts = std::vector<std::string>;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos) break;
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    return lines;
}

// Two channels, auxiliary rows "p Torr" and "T(x)", 201 points of 0.4 s.
TKel LogProfile() {
    TKel kel = test::ConstantProfile(2);
    kel.Name[18] = "p Torr";
    kel.Name[20] = "T(x)";
    for (auto& c : kel.Counts[18]) c = 700;
    for (auto& c : kel.Counts[20]) c = 300;
    return kel;
}

class ResultLog : public ::testing::Test {
protected:
    ResultLog() {
        KineticsLibrary().Clear();
        session.SetLogFileName(dir.File("multilog.csv"));
    }
    void Open(const TKel& profile, const std::string& name = "abc.kel") {
        session.ShowProfile(test::SaveProfile(dir, profile, name));
        session.btnApplyDeMrClick();  // "correct" up: plain rates
    }
    std::vector<std::string> Log() const { return Lines(test::ReadFile(session.LogFileName())); }
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

TEST_F(ResultLog, HeaderOnTheFirstLineAfterOpeningOnly) {
    test::WriteFileForTest(session.LogFileName(), "earlier\r\n");
    Open(LogProfile());
    session.SelectTimes(0, 0.4);
    session.btLogResultsClick();
    session.btLogResultsClick();
    auto log = Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], "earlier");
    // Rows 22..26 have no name and no "(": they are logged as empty columns.
    EXPECT_EQ(log[1], "file,date,time,endtime, mz19 , mz37 , p Torr, , , ");
    EXPECT_EQ(log[2], "abc,09/12/2025,10:30:00,10:30:00,    500 ,   1000 , 700, 0, 0, 0");
    EXPECT_EQ(log[3], log[2]);
    EXPECT_FALSE(session.LogHeaderPending());
    Open(LogProfile(), "def.kel");
    session.btLogResultsClick();
    EXPECT_EQ(Log().size(), 6u);  // a new profile: a new header
}

TEST_F(ResultLog, WindowFromTheSelectionEitherWay) {
    Open(LogProfile());
    session.SelectTimes(2.0, 0.8);  // dragged right to left: points 2..5
    session.btLogResultsClick();
    session.SelectTimes(0.8, 2.0);
    session.btLogResultsClick();
    auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1], log[2]);
    EXPECT_EQ(log[1].substr(0, 32), "abc,09/12/2025,10:30:00,10:30:02");  // 0.8 s shows as 0
}

TEST_F(ResultLog, TimeZeroAtStartLogsThePointsTheGraphShows) {
    TKel profile = LogProfile();
    profile.Counts[1][static_cast<std::size_t>((250 + 7) % 201)] = 123;  // point 7 of channel 0
    Open(profile);
    session.cbT0StartClick();  // the axis starts at (jm - njm) points: 49 x 0.4 s
    session.SelectTimes((49 + 7) * 0.4, (49 + 7) * 0.4);
    ASSERT_EQ(session.SelectionToWindow(0.4), (std::pair<int, int>{7, 7}));
    session.btLogResultsClick();
    TLogContext context = session.LogContext();
    double expected = CorrectedValue(session.Profile(), context.corrections, 123 * 500.0 / 100, 19);
    EXPECT_EQ(Log()[1].substr(32, 9), ", " + FormatFixed(expected, 6, 0) + " ");
}

TEST_F(ResultLog, OnePointWindowLogsThatPointsCorrectedRate) {
    TKel profile = LogProfile();
    profile.Counts[1][static_cast<std::size_t>((250 + 7) % 201)] = 123;  // point 7 of channel 0
    Open(profile);
    session.btnApplyDeMrClick();  // "correct" down again: the model applies
    session.SelectTimes(7 * 0.4, 7 * 0.4);
    session.btLogResultsClick();
    TLogContext context = session.LogContext();
    double expected = CorrectedValue(session.Profile(), context.corrections, 123 * 500.0 / 100, 19);
    EXPECT_EQ(Log()[1].substr(32, 9), ", " + FormatFixed(expected, 6, 0) + " ");
}

TEST_F(ResultLog, LogProfileWritesEveryPoint) {
    Open(LogProfile());
    session.btLogProfileClick();
    auto log = Log();
    ASSERT_EQ(log.size(), 202u);
    EXPECT_EQ(log[1].substr(0, 32), "abc,09/12/2025,10:30:00,10:30:00");
    EXPECT_EQ(log[201].substr(0, 32), "abc,09/12/2025,10:31:20,10:31:20");
}

TEST_F(ResultLog, FileItemDropsTheExtension) {
    Open(LogProfile(), "a.kel");  // 5 characters: "a"
    TProfileTexts texts = session.Texts();
    texts.FileName = ".kel";
    session.UpdateComments(texts);
    session.btLogResultsClick();
    EXPECT_EQ(Log()[1].substr(0, 2), ",0");
}

TEST_F(ResultLog, TextsOutsideAsciiAreLoggedAsUtf8AndNeverCutInsideACharacter) {
    TKel profile = LogProfile();
    profile.Name[18] = "p \xB5" "bar";  // Windows-1252, as the legacy file holds it
    Open(profile, "atem.kel");
    // Named in the field, not on the disk: file names outside ASCII are the
    // platform layer's, tested there.
    TProfileTexts texts = session.Texts();
    texts.FileName = "Atem \xC3\xA9t\xC3\xA9.kel";
    session.UpdateComments(texts);
    session.btLogResultsClick();
    texts.FileName = "Probe M\xC3\xBCll";  // typed without an extension: its last four characters go
    session.UpdateComments(texts);
    session.btLogResultsClick();
    auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "file,date,time,endtime, mz19 , mz37 , p \xC2\xB5" "bar, , , ");
    EXPECT_EQ(log[1].substr(0, 11), "Atem \xC3\xA9t\xC3\xA9,");
    EXPECT_EQ(log[2].substr(0, 7), "Probe ,");
    EXPECT_TRUE(IsValidUtf8(test::ReadFile(session.LogFileName())));
}

// A log that cannot be written: one message naming it, whichever command
// wrote, and its bytes kept.
TEST_F(ResultLog, ReadOnlyLogKeepsItsBytesAndGivesOneMessage) {
    std::string reason;
    if (!test::PermissionsBind()) {
        // A folder in the file's place fails for everyone; Windows refuses
        // to open one as a file.
        ASSERT_TRUE(std::filesystem::create_directory(session.LogFileName()));
#ifdef _WIN32
        reason = std::strerror(EACCES);
#else
        reason = std::strerror(EISDIR);
#endif
    } else {
        test::WriteFileForTest(session.LogFileName(), "kept\r\n");
        std::filesystem::permissions(session.LogFileName(), std::filesystem::perms::owner_read |
                                                                std::filesystem::perms::group_read |
                                                                std::filesystem::perms::others_read);
        reason = std::strerror(EACCES);
    }
    Open(LogProfile());
    Texts expected{"write error: multilog.csv: " + reason};
    session.btLogResultsClick();
    EXPECT_EQ(boxes.Texts(), expected);
    boxes.shown.clear();
    session.btLogProfileClick();  // 201 points, one message
    EXPECT_EQ(boxes.Texts(), expected);
    if (test::PermissionsBind()) {
        EXPECT_EQ(test::ReadFile(session.LogFileName()), "kept\r\n");
    }
    EXPECT_TRUE(session.LogHeaderPending());
}

TEST_F(ResultLog, FailingIsotopeLineLeavesNoPartialLine) {
    TKel profile = LogProfile();
    profile.ion = "FAMS";
    for (auto& row : {3}) std::fill(profile.Counts[static_cast<std::size_t>(row)].begin(),
                                    profile.Counts[static_cast<std::size_t>(row)].end(), 0);
    Open(profile);  // nim 4: one channel per group; the 75 group reads 0
    session.RefreshPlot();
    ASSERT_EQ(session.IsotopeSums().S75, 0);
    test::WriteFileForTest(session.LogFileName(), "before\r\n");
    session.btLogResultsClick();
    EXPECT_EQ(test::ReadFile(session.LogFileName()), "before\r\n");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "Floating point division by zero");
    EXPECT_TRUE(session.LogHeaderPending());
    session.btLogProfileClick();  // every point fails alike: one message
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(test::ReadFile(session.LogFileName()), "before\r\n");
}

TEST_F(ResultLog, NoCycleTimeWritesNothing) {
    TKel profile = LogProfile();
    profile.Cntm[1] = profile.Cntm[3] = 0;
    EXPECT_ANY_THROW(Open(profile));
    session.btLogResultsClick();
    EXPECT_EQ(boxes.Texts().back(), "No cycle time: the profile has no dwell times");
    EXPECT_EQ(test::ReadFile(session.LogFileName()), "");
}

TEST_F(ResultLog, IsotopeHeaderAndItems) {
    TKel profile = test::ConstantProfile(4);
    profile.ion = "FAMS";
    Open(profile);
    session.RefreshPlot();
    session.btLogResultsClick();
    auto log = Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], "file,date,time,endtime, i74 , i75 , Q, Qerr , R1vap, R1vaperr, R1liq, R1liqerr, , , , , ");
    EXPECT_NE(log[1].find(",    750 ,   1750 , 0.4286, "), std::string::npos) << log[1];
}

TEST(HeadspaceSections, SplitByTheLevel) {
    std::vector<double> v = {10, 10, 2, 2, 2, 10, 10, 2, 2, 10};
    TPressureSections s = FindPressureSections(v, 50);
    EXPECT_EQ(s.closed, (std::vector<std::pair<int, int>>{{2, 4}, {7, 8}}));
    EXPECT_FALSE(s.openStart);
    v.back() = 2;
    s = FindPressureSections(v, 50);
    EXPECT_EQ(s.closed, (std::vector<std::pair<int, int>>{{2, 4}}));
    EXPECT_EQ(s.openStart, 7);
    EXPECT_TRUE(FindPressureSections({5, 5, 5}, 50).closed.empty());
    EXPECT_TRUE(FindPressureSections({10, 1, 1, 1}, 50).closed.empty());  // the maximum only at point 0
}

TEST_F(ResultLog, HeadspaceLogsOneLinePerSection) {
    TKel profile = LogProfile();
    const int series[] = {10, 10, 2, 2, 2, 10, 10, 2, 2, 10};
    profile.njm = 10;
    profile.jm = 10;  // not wrapped: point i is slot i
    for (std::size_t i = 0; i < 10; ++i) profile.Counts[18][i] = series[i];
    Open(profile);
    session.btPressClick();
    EXPECT_EQ(session.StatusText(), "2 sections selected");
    auto log = Log();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[1].substr(0, 32), "abc,09/12/2025,10:30:00,10:30:01");  // points 2..4 of 0.4 s
    EXPECT_EQ(session.Selection()[0], 7 * 0.4);
    EXPECT_DOUBLE_EQ(session.Selection()[1], 8 * 0.4);
}

TEST_F(ResultLog, HeadspaceWithKeepLogLogsEachSectionTwice) {
    TKel profile = LogProfile();
    profile.njm = 10;
    profile.jm = 10;
    const int series[] = {10, 10, 2, 2, 2, 10, 10, 2, 2, 10};
    for (std::size_t i = 0; i < 10; ++i) profile.Counts[18][i] = series[i];
    Open(profile);
    session.sbKeepLogClick();
    session.btPressClick();
    EXPECT_EQ(Log().size(), 5u);
}

}  // namespace
}  // namespace kel
