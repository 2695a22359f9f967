// "window --follow" beside the instrument: the lines again at every rewrite
// of the file, nothing for a file caught half-written, and a clean end on a
// signal.
#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <filesystem>
#include <thread>

#include "cli/CliTestSupport.h"

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kel {
namespace {

using namespace std::chrono_literals;

// kelview-cli running in the background, its output in files.
class BackgroundCli {
public:
    BackgroundCli(const std::vector<std::string>& args, const test::ScratchDir& dir)
        : out_(dir.File("follow.out")), err_(dir.File("follow.err")) {
        std::vector<std::string> strings = {KELVIEW_CLI_PROGRAM};
        strings.insert(strings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& s : strings) argv.push_back(s.data());
        argv.push_back(nullptr);
        pid_ = ::fork();
        if (pid_ == 0) {
            int out = ::open(out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            int err = ::open(err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(127);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~BackgroundCli() {
        if (pid_ > 0 && !ended_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    // Waits up to ten seconds for the output to become `expected`; the
    // output as it stands then.
    std::string WaitForOutput(const std::string& expected) const {
        std::string out;
        for (int waited = 0; waited < 1000 && (out = test::ReadFile(out_)) != expected; ++waited)
            std::this_thread::sleep_for(10ms);
        return out;
    }
    // Sends signal and returns the exit status, -1 when the tool did not exit
    // within ten seconds or not normally.
    int Stop(int signal) {
        ::kill(pid_, signal);
        int status = 0;
        for (int waited = 0; waited < 1000; ++waited) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                ended_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            }
            std::this_thread::sleep_for(10ms);
        }
        return -1;
    }
    std::string Err() const { return test::ReadFile(err_); }

private:
    std::string out_, err_;
    pid_t pid_ = -1;
    bool ended_ = false;
};

TEST(CliFollow, PrintsTheLinesAgainAtEveryRewriteAndEndsOnASignal) {
    test::ScratchDir dir;
    const std::vector<std::string> options = {"--select", "200:300"};
    const std::string live = dir.File("live.kel");
    // The lines of each version as a single run prints them.
    const auto once = [&](const std::string& bytes) {
        test::WriteFileForTest(live, bytes);
        std::vector<std::string> args = {"window", live};
        args.insert(args.end(), options.begin(), options.end());
        test::TCliResult run = test::RunCli(args, dir.Path());
        EXPECT_EQ(run.status, 0) << run.err;
        return run.out;
    };
    const std::string first = test::ReadFile(test::WriteBreathProfile(dir, "first.kel", 1));
    const std::string second = test::ReadFile(test::WriteBreathProfile(dir, "second.kel", 2));
    const std::string secondLines = once(second), firstLines = once(first);
    ASSERT_NE(firstLines, secondLines);

    std::vector<std::string> args = {"window", live, "--follow"};
    args.insert(args.end(), options.begin(), options.end());
    BackgroundCli cli(args, dir);
    std::string expected = firstLines;
    ASSERT_EQ(cli.WaitForOutput(expected), expected) << cli.Err();

    // Rewritten in place.
    test::WriteFileForTest(live, second);
    expected += "--\n" + secondLines;
    ASSERT_EQ(cli.WaitForOutput(expected), expected) << cli.Err();

    // Caught half-written, then replaced by rename: only the whole file shows.
    test::WriteFileForTest(live, first.substr(0, first.size() / 3));
    std::this_thread::sleep_for(500ms);
    test::WriteFileForTest(dir.File("live.tmp"), first);
    std::filesystem::rename(dir.File("live.tmp"), live);
    expected += "--\n" + firstLines;
    ASSERT_EQ(cli.WaitForOutput(expected), expected) << cli.Err();

    EXPECT_EQ(cli.Stop(SIGTERM), 0);
    EXPECT_EQ(test::ReadFile(dir.File("follow.out")), expected);
    EXPECT_EQ(cli.Err(), "");
}

TEST(CliFollow, AFileThatStaysBrokenIsReportedOnceAndInterruptEnds) {
    test::ScratchDir dir;
    const std::string whole = test::ReadFile(test::WriteBreathProfile(dir, "live.kel", 3));
    const test::TCliResult once = test::RunCli({"window", dir.File("live.kel")}, dir.Path());
    ASSERT_EQ(once.status, 0) << once.err;
    BackgroundCli cli({"window", dir.File("live.kel"), "--follow"}, dir);
    ASSERT_EQ(cli.WaitForOutput(once.out), once.out) << cli.Err();

    // Cut short twice, each time for longer than the retries take.
    for (std::size_t length : {whole.size() / 2, whole.size() / 4}) {
        test::WriteFileForTest(dir.File("live.kel"), whole.substr(0, length));
        std::this_thread::sleep_for(2500ms);
    }
    EXPECT_EQ(cli.Stop(SIGINT), 0);
    const std::string err = cli.Err();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_NE(err.find("Damaged profile: live.kel"), std::string::npos) << err;
    // The last whole cycle stays what was printed.
    EXPECT_EQ(test::ReadFile(dir.File("follow.out")), once.out);
}

}  // namespace
}  // namespace kel
#endif
