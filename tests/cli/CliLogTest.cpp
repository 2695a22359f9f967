// "log" and "headspace": the results log the window's commands write.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/KelViewSession.h"
#include "cli/CliTestSupport.h"
#include "support/SessionTestSupport.h"
#include "kinetics/KineticsLibrary.h"

namespace kel {
namespace {

class CliLog : public ::testing::Test {
protected:
    CliLog() {
        test::UseDefaultKinetics();
        session.SetLogFileName(expected.File("multilog.csv"));
    }
    ~CliLog() override { ReleaseKineticsLibrary(); }
    std::string Log() const { return test::ReadFile(dir.File("multilog.csv")); }
    std::string ExpectedLog() const { return test::ReadFile(session.LogFileName()); }

    test::ScratchDir dir, expected;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
};

TEST_F(CliLog, EveryOpeningWritesItsHeaderAndLine) {
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 2);
    for (int run = 0; run < 2; ++run) {
        test::TCliResult r = test::RunCli({"log", path, "--mode", "ppb"}, dir.Path());
        ASSERT_EQ(r.status, 0) << r.err;
        TKelViewSession window{test::TestServices()};  // each run of the tool is a fresh window
        window.SetLogFileName(session.LogFileName());
        window.ShowProfile(path);
        window.BtnPpbClick();
        window.SelectAllClick();
        window.btLogResultsClick();
    }
    EXPECT_EQ(Log(), ExpectedLog());
    std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4) << log;
}

TEST_F(CliLog, ProfileLogHasALinePerPoint) {
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 2);
    ASSERT_EQ(test::RunCli({"log", path, "--profile"}, dir.Path()).status, 0);
    session.ShowProfile(path);
    session.SelectAllClick();
    session.btLogProfileClick();
    EXPECT_EQ(Log(), ExpectedLog());
    std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1 + session.Profile().njm);
}

TEST_F(CliLog, KeepLogAddsTheLineOfTheCalculation) {
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 2);
    ASSERT_EQ(test::RunCli({"log", path, "--set", "sbKeepLog=1"}, dir.Path()).status, 0);
    std::string log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;  // header, calculation, command
}

TEST_F(CliLog, HeadspaceLogsEverySectionAndPrintsTheStatus) {
    std::string path = test::WriteHeadspaceProfile(dir, "hs.kel");
    test::TCliResult r = test::RunCli({"headspace", path, "--level", "40"}, dir.Path());
    ASSERT_EQ(r.status, 0) << r.err;
    session.ShowProfile(path);
    ASSERT_TRUE(session.EditField(TFieldId::PressLevel, "40"));
    session.SelectAllClick();
    session.btPressClick();
    EXPECT_EQ(r.out, session.StatusText() + "\n");
    EXPECT_NE(session.StatusText().rfind("0 sections", 0), 0u) << "the profile should have sections";
    EXPECT_EQ(Log(), ExpectedLog());
}

TEST_F(CliLog, RefusedInputLeavesTheLogAsItWas) {
    std::string path = test::WriteHeadspaceProfile(dir, "hs.kel");
    test::WriteFileForTest(dir.File("multilog.csv"), "kept\r\n");
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {{"log", "missing.kel"}, 1, "Debug: Open Error!"},
        {{"log", path, "--set", "feTg=700"}, 1, "Kelview: 700 is not in the range from 40 to 600"},
        {{"log", path, "--set", "feTg=warm"}, 1, "Kelview: "},
        {{"log", path, "--set", "cbT0Start=2"}, 1, "2 is not in the range from 0 to 1"},
        {{"headspace", path, "--level", "90"}, 1, "90 is not in the range from 20 to 80"},
        {{"log", path, "--set", "feTg="}, 2, "needs a value"},
        {{"log", path, "--set", "feNothing=1"}, 2, "not a control of the main window"},
        {{"log", path, "--kinetics", "none.txt"}, 1, "none.txt"},
        {{"log", path, "--select", "1:x"}, 2, "--select takes two times"},
        {{"log", path, "--mode", "fast"}, 2, "--mode takes rate, ppb or dh"},
        {{"log", path, "--frobnicate"}, 2, "unknown option \"--frobnicate\""},
        {{"log"}, 2, "FILE is needed"},
    };
    for (const Case& c : cases) {
        test::TCliResult r = test::RunCli(c.args, dir.Path());
        EXPECT_EQ(r.status, c.status) << c.args.back() << "\n" << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(Log(), "kept\r\n") << c.args.back();
    }
}

TEST_F(CliLog, HeadspaceWithoutPressureReadingIsAFailure) {
    test::ScratchDir other;
    TKel profile;
    std::string path = test::WriteBreathProfile(dir, "breath.kel", 2);
    profile.LoadFromFile(path);
    for (int row = 18; row <= 26; row += 2) profile.Name[static_cast<std::size_t>(row)] = "none";
    profile.SaveZipped(dir.File("flat.kel"));
    test::TCliResult r = test::RunCli({"headspace", "flat.kel"}, dir.Path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("no pressure reading"), std::string::npos) << r.err;
    EXPECT_EQ(Log(), "");
}

}  // namespace
}  // namespace kel
