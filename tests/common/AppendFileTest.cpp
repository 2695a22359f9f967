// Appends to a log that others append to as well: a failed append takes back
// its own bytes only, and says why it failed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/probes/FillingDisk.h"
#include "common/AppendFile.h"
#include "support/TestSupport.h"

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#endif

namespace kel {
namespace {

#ifndef _WIN32

// True when the process waits for a lock, as the system's lock table shows.
bool WaitsForALock(pid_t pid) {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line))
        if (line.find("->") != std::string::npos && line.find(" " + std::to_string(pid) + " ") != std::string::npos)
            return true;
    return false;
}

// Returns once the process has ended (true, its exit status in `status`) or
// waits for a lock; a few seconds at most.
bool UntilDoneOrWaiting(pid_t pid, int& status) {
    auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (std::chrono::steady_clock::now() < until) {
        if (::waitpid(pid, &status, WNOHANG) == pid) return true;
        if (WaitsForALock(pid)) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

TEST(AppendToFile, AFailedAppendKeepsWhatOtherWritersAddedMeanwhile) {
    if (!test::kFillingDisk) GTEST_SKIP() << "the disk cannot be filled here";
    test::ScratchDir dir;
    const std::string log = dir.File("multilog.csv");
    const std::string header = "file,date,time,endtime\r\n";

    // A second writer process (another "log" beside the window's keep-log)
    // appends while this one's write has put half its line in and fails.
    test::WriteFileForTest(log, header);
    pid_t other = -1;
    int status = 0;
    bool ended = false;
    std::string reason;
    {
        test::FillingDisk disk(5, [&] {
            other = ::fork();
            if (other == 0) ::_exit(AppendToFile(log, "other,line\r\n") == TAppendResult::Appended ? 0 : 1);
            ended = UntilDoneOrWaiting(other, status);
        });
        EXPECT_EQ(AppendToFile(log, "this,line\r\n", &reason), TAppendResult::Failed);
    }
    ASSERT_GT(other, 0);
    if (!ended) {
        ASSERT_EQ(::waitpid(other, &status, 0), other);
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the other writer succeeded";
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_EQ(test::ReadFile(log), header + "other,line\r\n");

    // A writer that takes no lock (a shell's >>) appends meanwhile: its line
    // stays, though the half line before it can then not be taken back.
    test::WriteFileForTest(log, header);
    {
        test::FillingDisk disk(5, [&] { std::ofstream(log, std::ios::app | std::ios::binary) << "shell,line\r\n"; });
        EXPECT_EQ(AppendToFile(log, "this,line\r\n", &reason), TAppendResult::Failed);
    }
    EXPECT_EQ(test::ReadFile(log), header + "this,shell,line\r\n");
}

TEST(AppendToFile, AFailureReportsTheWritesOwnReason) {
    // A device that is always full cannot be cut back either; the user
    // learns why the line was not written, not why the cut failed.
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    std::string reason;
    EXPECT_EQ(AppendToFile("/dev/full", "a,line\r\n", &reason), TAppendResult::Failed);
    EXPECT_EQ(reason, "No space left on device");
}

TEST(AppendToFile, ALinkIsFollowedOnlyWhenThisUserMadeIt) {
    test::ScratchDir shared, home;
    const std::string bashrc = home.File(".bashrc"), log = shared.File("multilog.csv");
    test::WriteFileForTest(bashrc, "alias ls='ls -F'\n");
    std::filesystem::create_symlink(bashrc, log);
    std::string reason;
    // The user's own link leads to the user's own log.
    EXPECT_EQ(AppendToFile(log, "own,line\r\n", &reason), TAppendResult::Appended) << reason;
    EXPECT_EQ(test::ReadFile(bashrc), "alias ls='ls -F'\nown,line\r\n");
    if (::geteuid() != 0) GTEST_SKIP() << "a link of another user needs root to make";
    test::WriteFileForTest(bashrc, "alias ls='ls -F'\n");
    ASSERT_EQ(::lchown(log.c_str(), 65534, 65534), 0);
    EXPECT_EQ(AppendToFile(log, "\"evil\nrm -rf ~\",line\r\n", &reason), TAppendResult::Failed);
    EXPECT_NE(reason.find("a link that "), std::string::npos) << reason;
    EXPECT_NE(reason.find("(uid 65534) made; it is not followed"), std::string::npos) << reason;
    EXPECT_EQ(test::ReadFile(bashrc), "alias ls='ls -F'\n");
}

#endif

}  // namespace
}  // namespace kel
