// What a script or a terminal sees of the tool: the last line of a failure,
// a standard output that cannot be written, the batch's bar among messages,
// the version, and selections far outside the profile.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliTestSupport.h"

#ifndef _WIN32
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace kel {
namespace {

std::string LastLine(const std::string& text) {
    std::string trimmed = text.substr(0, text.find_last_not_of("\r\n") + 1);
    return trimmed.substr(trimmed.find_last_of('\n') + 1);
}

// A breath profile cut inside its header, which the reader takes but the
// window calculation cannot use.
std::string WriteTruncatedProfile(const test::ScratchDir& dir, const std::string& name) {
    std::string whole = test::ReadFile(test::WriteBreathProfile(dir, name, 5));
    test::WriteFileForTest(dir.File(name), whole.substr(0, 300));
    return dir.File(name);
}

TEST(CliTerminal, TheLastLineOfAFailureNamesTheFile) {
    test::ScratchDir dir;
    WriteTruncatedProfile(dir, "cut.kel");
    test::WriteBreathProfile(dir, "breath.kel", 4);
    test::WriteFileForTest(dir.File("bad-kinetics.txt"), "broken\n1\n19 abc 1\n1\n59 1\n");
    const std::vector<std::vector<std::string>> failures = {
        {"window", "cut.kel"},
        {"log", "cut.kel"},
        {"window", "breath.kel", "--kinetics", "bad-kinetics.txt"},
    };
    for (const std::vector<std::string>& args : failures) {
        test::TCliResult r = test::RunCli(args, dir.Path());
        EXPECT_EQ(r.status, 1) << args[0] << " " << args[1];
        EXPECT_NE(LastLine(r.err).find("\"" + args[1] + "\""), std::string::npos) << r.err;
    }
}

#ifndef _WIN32

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

struct TRun {
    int status = -1;  // -1: killed at the deadline or no normal exit
    std::string err;
};

// Runs the tool with standard output into outPath and standard error on a
// terminal (or a file), without XDG_RUNTIME_DIR; a run past the deadline is
// killed, so that a hang fails the test instead of stalling it.
TRun RunTool(const std::vector<std::string>& args, const std::string& cwd, const std::string& outPath,
             bool errOnTerminal) {
    std::vector<std::string> strings = {KELVIEW_CLI_PROGRAM};
    strings.insert(strings.end(), args.begin(), args.end());
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e)
        if (std::string_view(*e).rfind("XDG_RUNTIME_DIR=", 0) != 0) envStrings.emplace_back(*e);
    auto pointers = [](std::vector<std::string>& s) {
        std::vector<char*> p;
        for (auto& x : s) p.push_back(x.data());
        p.push_back(nullptr);
        return p;
    };
    std::vector<char*> argv = pointers(strings), envp = pointers(envStrings);
    test::ScratchDir capture;
    const std::string errPath = capture.File("err");
    int master = -1, slave = -1;
    if (errOnTerminal && ::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return {};
    pid_t pid = ::fork();
    if (pid == 0) {
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = errOnTerminal ? slave : ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(cwd.c_str()) != 0) ::_exit(127);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (errOnTerminal) ::close(slave);
    TRun run;
    constexpr int kDeadlineMs = 60000;
    int status = 0, waited = 0;
    bool ended = false;
    while (!ended && waited < kDeadlineMs) {
        if (errOnTerminal) {
            pollfd p{master, POLLIN, 0};
            if (::poll(&p, 1, 10) > 0) {
                char buffer[4096];
                ssize_t n = ::read(master, buffer, sizeof buffer);
                if (n > 0) run.err.append(buffer, static_cast<std::size_t>(n));
            }
        } else {
            ::usleep(10000);
        }
        waited += 10;
        ended = ::waitpid(pid, &status, WNOHANG) == pid;
    }
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    } else if (WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    if (errOnTerminal) {
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) run.err.append(buffer, static_cast<std::size_t>(n));
        ::close(master);
    } else {
        run.err = test::ReadFile(errPath);
    }
    return run;
}

TEST(CliTerminal, AStandardOutputThatCannotBeWrittenIsAFailure) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    test::ScratchDir dir;
    test::WriteBreathProfile(dir, "breath.kel", 4);
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{"window", "breath.kel"}, {"info", "breath.kel"}, {"--version"}}) {
        TRun r = RunTool(args, dir.Path(), "/dev/full", false);
        EXPECT_EQ(r.status, 1) << args[0];
        EXPECT_NE(r.err.find("cannot write standard output: "), std::string::npos) << r.err;
    }
}

TEST(CliTerminal, TheBarLeavesEachMessageALineOfItsOwnAndAFailureIsToldOnce) {
    test::ScratchDir dir;
    test::WriteBreathProfile(dir, "breath.kel", 4, 46000.25);
    WriteTruncatedProfile(dir, "cut.kel");
    for (bool terminal : {true, false}) {
        TRun r = RunTool({"batch", "."}, dir.Path(), dir.File("out.txt"), terminal);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(Count(r.err, "Damaged profile: cut.kel"), 1u) << r.err;
        // A message begins its line: the bar, when shown, ended it first.
        for (std::size_t at = r.err.find("Debug:"); at != std::string::npos; at = r.err.find("Debug:", at + 1))
            EXPECT_TRUE(at == 0 || r.err[at - 1] == '\n') << r.err;
        EXPECT_EQ(Count(r.err, "stopped at \"cut.kel\""), 1u) << r.err;
    }
    std::filesystem::remove(dir.File("cut.kel"));
    TRun whole = RunTool({"batch", "."}, dir.Path(), dir.File("out.txt"), true);
    EXPECT_EQ(whole.status, 0) << whole.err;
    EXPECT_EQ(test::ReadFile(dir.File("out.txt")).rfind("converted 1 profiles", 0), 0u);
}

TEST(CliTerminal, VersionAndAPictureWithoutARuntimeFolder) {
    test::ScratchDir dir;
    test::TCliResult version = test::RunCli({"--version"}, dir.Path());
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out.rfind("kelview-cli ", 0), 0u) << version.out;
    EXPECT_NE(test::RunCli({"--help"}, dir.Path()).out.find("--version"), std::string::npos);
    if (!KELVIEW_WITH_QT) return;
    test::WriteBreathProfile(dir, "breath.kel", 4);
    TRun plot = RunTool({"plot", "breath.kel", "-o", "graph.png"}, dir.Path(), dir.File("out.txt"), false);
    EXPECT_EQ(plot.status, 0) << plot.err;
    EXPECT_EQ(plot.err, "");
}

// Selections far past the profile cost no more than the profile's points:
// they end at its last point. Before, the work grew with the typed end and
// the largest never ended.
TEST(CliTerminal, SelectionsFarOutsideTheProfileEndAtItsLastPoint) {
    test::ScratchDir dir;
    test::WriteBreathProfile(dir, "breath.kel", 4);
    test::TCliResult all = test::RunCli({"window", "breath.kel"}, dir.Path());
    ASSERT_EQ(all.status, 0) << all.err;
    for (std::string selection : {"1e308:-1e308", "0:1e8", "-1e8:99999999999999999999"}) {
        TRun r = RunTool({"window", "breath.kel", "--select", selection}, dir.Path(), dir.File("out.txt"), false);
        EXPECT_EQ(r.status, 0) << selection << ": " << r.err;
        EXPECT_EQ(test::ReadFile(dir.File("out.txt")), all.out) << selection;
    }
    TRun tail = RunTool({"window", "breath.kel", "--select", "99999999999999999999:1"}, dir.Path(),
                        dir.File("out.txt"), false);
    EXPECT_EQ(tail.status, 0) << tail.err;
    for (std::string selection : {"nan:1", "1:inf", "1e400:1"}) {
        test::TCliResult r = test::RunCli({"window", "breath.kel", "--select", selection}, dir.Path());
        EXPECT_EQ(r.status, 2) << selection;
        EXPECT_NE(r.err.find("--select takes two times in seconds"), std::string::npos) << r.err;
    }
}

#endif

}  // namespace
}  // namespace kel
