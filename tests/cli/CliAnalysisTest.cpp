// "--analysis": a saved analysis gives headless the lines the window showed,
// byte for byte, and what is missing or changed is told by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/KelViewSession.h"
#include "cli/CliTestSupport.h"
#include "kinetics/KineticsLibrary.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

// What "window" prints for the session: its lines, then in ppb mode a blank
// line and the intermediate results.
std::string WindowText(const TKelViewSession& s) {
    std::string text;
    for (const TComment& c : s.Graph1().Comments) text += c.Text + '\n';
    if (s.PpbDown()) {
        text += '\n';
        for (const std::string& line : s.IntermediateResults()) text += line + '\n';
    }
    return text;
}

class CliAnalysis : public ::testing::Test {
protected:
    CliAnalysis() {
        kinetics = dir.File("kbase.txt");
        std::filesystem::copy_file(DemoKineticsFileName(), kinetics);
        SetKineticsFileName(kinetics);
        ReloadKineticsLibrary();
    }
    ~CliAnalysis() override { ReleaseKineticsLibrary(); }

    // A ppb analysis with fields, toggles, a selection and a zoom, saved.
    void AnalyseAndSave() {
        ASSERT_FALSE(session.ShowProfile(path).Failed());
        session.BtnPpbClick();
        ASSERT_TRUE(session.EditField(TFieldId::feDeadT, "0.000071"));
        ASSERT_TRUE(session.EditField(TFieldId::felr, "35.25"));
        session.cbT0StartClick();
        session.SelectTimes(40.5, 95.25);
        session.ZoomTime(300, 0.6);
        ASSERT_TRUE(session.SaveAnalysis(analysis).ok());
    }

    test::ScratchDir dir;
    test::RecordedMessages boxes;
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 11);
    std::string kinetics;
    std::string analysis = dir.File("breath.kelview.json");
    TKelViewSession session{test::TestServices()};
};

TEST_F(CliAnalysis, TheSavedAnalysisPrintsTheWindowsLinesByteForByte) {
#ifdef _WIN32
    // Known defect: on Windows the analysis file keeps the profile's path in
    // the system's separators, which the reopened analysis does not match.
    GTEST_SKIP() << "profile paths in analysis files are not yet portable on Windows";
#endif
    AnalyseAndSave();
    const std::string shown = WindowText(session);
    TKelViewSession reopened{test::TestServices()};
    ASSERT_TRUE(reopened.OpenAnalysis(analysis).shown);
    EXPECT_EQ(WindowText(reopened), shown);

    test::TCliResult r = test::RunCli({"window", "--analysis", analysis}, dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, shown);
    EXPECT_EQ(r.err, "");
    // From another folder, the profile beside the analysis is still found.
    r = test::RunCli({"window", "--analysis", analysis}, "/");
    EXPECT_EQ(r.out, shown) << r.err;
}

TEST_F(CliAnalysis, AFileGivenIsShownWithTheAnalysisAndSelectStillApplies) {
    AnalyseAndSave();
    const std::string other = test::WriteBreathProfile(dir, "other.kel", 12);
    TKelViewSession reopened{test::TestServices()};
    ASSERT_TRUE(reopened.OpenAnalysis(analysis, other).shown);
    test::TCliResult r = test::RunCli({"window", other, "--analysis", analysis}, dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, WindowText(reopened));

    reopened.SelectTimes(50, 60);
    r = test::RunCli({"window", other, "--analysis", analysis, "--select", "50:60"}, dir.Path());
    EXPECT_EQ(r.out, WindowText(reopened)) << r.err;
}

TEST_F(CliAnalysis, MissingChangedAndHostileFilesAreToldByName) {
    AnalyseAndSave();
    std::ofstream(kinetics, std::ios::app) << "\n";
    test::TCliResult r = test::RunCli({"window", "--analysis", analysis}, dir.Path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("kinetics file \"" + kinetics + "\" has changed"), std::string::npos) << r.err;

    std::filesystem::remove(path);
    r = test::RunCli({"window", "--analysis", analysis}, dir.Path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(path), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    std::ofstream(analysis, std::ios::trunc) << "{\"format\":\"kelview-analysis\",\"version\":1}";
    r = test::RunCli({"results", "--analysis", analysis}, dir.Path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(analysis), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("\"profile\" is missing"), std::string::npos) << r.err;

    r = test::RunCli({"window"}, dir.Path());
    EXPECT_EQ(r.status, 2);  // neither FILE nor --analysis
}

}  // namespace
}  // namespace kel
