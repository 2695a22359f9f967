#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <optional>
#include <vector>

#include "common/Errors.h"
#include "common/Platform.h"
#include "common/SafeFile.h"
#include "support/TestSupport.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kel {
namespace {

TEST(ReplaceFileAtomically, WritesNewAndReplacesOldFiles) {
    test::ScratchDir dir;
    std::string path = dir.File("out.csv");
    ASSERT_TRUE(ReplaceFileAtomically(path, "first"));
    EXPECT_EQ(test::ReadFile(path), "first");
    ASSERT_TRUE(ReplaceFileAtomically(path, "second, longer"));
    EXPECT_EQ(test::ReadFile(path), "second, longer");
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"out.csv"});
#ifndef _WIN32  // whose files have no group
    EXPECT_NE(std::filesystem::status(path).permissions() & std::filesystem::perms::group_read,
              std::filesystem::perms::none)
        << "not left private like a temporary file";
#endif
}

TEST(ReplaceFileAtomically, FailureLeavesTheOldFileAndNoTemporary) {
    test::ScratchDir dir;
    TIoResult missing = ReplaceFileAtomically(dir.File("missing/out.csv"), "x");
    EXPECT_EQ(missing.status, TIoStatus::WriteFailed);
    EXPECT_EQ(missing.description(), "Cannot write file \"" + dir.File("missing/out.csv") + "\": " + missing.reason);

    // A folder in place of the target: the rename fails after the data was written.
    std::string target = dir.File("target");
    ASSERT_TRUE(std::filesystem::create_directory(target));
    test::WriteFileForTest(target + "/keep", "kept");
    EXPECT_FALSE(ReplaceFileAtomically(target, "new"));
    EXPECT_EQ(test::ReadFile(target + "/keep"), "kept");
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"target"});
}

#ifndef _WIN32  // whose files have no modes or groups
mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// A group the file may be given other than the user's own; none when the
// user belongs to no other.
std::optional<gid_t> AnotherGroup() {
    if (::geteuid() == 0) return ::getegid() + 1;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    for (gid_t group : groups)
        if (group != ::getegid()) return group;
    return std::nullopt;
}

TEST(ReplaceFileAtomically, TheNewFileKeepsTheModeAndGroupOfTheOld) {
    test::ScratchDir dir;
    const std::string path = dir.File("private.csv");
    test::WriteFileForTest(path, "old");
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    mode_t mask = ::umask(022);  // a plain new file would be world-readable
    EXPECT_TRUE(ReplaceFileAtomically(path, "new"));
    EXPECT_EQ(ModeOf(path), 0600u);

    if (std::optional<gid_t> group = AnotherGroup()) {
        ASSERT_EQ(::chown(path.c_str(), static_cast<uid_t>(-1), *group), 0);
        ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
        EXPECT_TRUE(ReplaceFileAtomically(path, "shared"));
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_gid, *group);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
    ::umask(mask);
    EXPECT_EQ(test::ReadFile(path), AnotherGroup() ? "shared" : "new");
}
#endif

TEST(ReplaceFileAtomically, RefusesAReadOnlyFile) {
    test::ScratchDir dir;
    const std::string path = dir.File("kept.kel");
    test::WriteFileForTest(path, "old");
    namespace fs = std::filesystem;
    fs::permissions(os::PathOf(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    TIoResult refused = ReplaceFileAtomically(path, "new");
    EXPECT_EQ(refused.status, TIoStatus::WriteFailed);
    EXPECT_EQ(refused.description(), "Cannot write file \"" + path + "\": the file is read-only");
    EXPECT_EQ(test::ReadFile(path), "old");
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"kept.kel"});
    fs::permissions(os::PathOf(path), fs::perms::owner_write, fs::perm_options::add);  // so that it can be removed
}

// What writers killed half-way left behind, beside what must stay.
TEST(ReplacementFile, TheFirstInAFolderRemovesTheUsersOldLeftoversOnly) {
    test::ScratchDir dir;
    const long long twoMinutesAgo = static_cast<long long>(std::time(nullptr)) - 120;
    auto leave = [&](const std::string& name, long long time) {
        test::WriteFileForTest(dir.File(name), "x");
        test::SetFileTime(dir.File(name), time);
    };
    leave(".kelview-a1B2c3.part", twoMinutesAgo);                        // ours and old: goes
    leave(".kelview-d4E5f6.part", static_cast<long long>(std::time(nullptr)));  // a writer may be at it
    leave(".kelview-backup", twoMinutesAgo);                             // the user's own names
    leave(".kelview-a1B2c3.part.kel", twoMinutesAgo);
    leave("run.part", twoMinutesAgo);
    std::vector<std::string> kept = {".kelview-a1B2c3.part.kel", ".kelview-backup", ".kelview-d4E5f6.part", "out.csv",
                                     "run.part"};
#ifndef _WIN32
    // A link in a leftover's name is not followed, and not removed either.
    leave("target", twoMinutesAgo);
    ASSERT_EQ(::symlink("target", dir.File(".kelview-l1n2k3.part").c_str()), 0);
    kept.insert(kept.end(), {".kelview-l1n2k3.part", "target"});
    if (::geteuid() == 0) {
        // Another user's file of the name stays theirs.
        leave(".kelview-0ther1.part", twoMinutesAgo);
        ASSERT_EQ(::chown(dir.File(".kelview-0ther1.part").c_str(), 65534, 65534), 0);
        kept.push_back(".kelview-0ther1.part");
    }
#endif
    PutFileInPlace(dir.File("out.csv"), "new");
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(test::ListFolder(dir.Path()), kept);
#ifndef _WIN32
    EXPECT_EQ(test::ReadFile(dir.File("target")), "x");
#endif
}

TEST(ReplacementFile, ALiveReplacementIsNoLeftoverHoweverOld) {
    test::ScratchDir dir;
    TReplacementFile live(dir.File("AllFilesPpb.csv"));
    live.Append("lines\n");
    std::vector<std::string> names = test::ListFolder(dir.Path());
    ASSERT_EQ(names.size(), 1u);
    ASSERT_TRUE(os::IsUniqueFileName(names[0])) << names[0];
    test::SetFileTime(dir.File(names[0]), static_cast<long long>(std::time(nullptr)) - 3600);
    os::RemoveStaleUniqueFiles(dir.Path(), 60);
    live.Commit();
    EXPECT_EQ(test::ReadFile(dir.File("AllFilesPpb.csv")), "lines\n");
}

TEST(ReplacementFile, TheTargetChangesOnlyOnCommit) {
    test::ScratchDir dir;
    std::string path = dir.File("AllFilesPpb.csv");
    test::WriteFileForTest(path, "old lines\n");
    {
        TReplacementFile file(path);
        file.Append("new ");
        file.Append("lines\n");
        EXPECT_EQ(test::ReadFile(path), "old lines\n");
    }  // never committed: the old file stays, the replacement goes
    EXPECT_EQ(test::ReadFile(path), "old lines\n");
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"AllFilesPpb.csv"});

    TReplacementFile file(path);
    file.Append("new lines\n");
    file.Commit();
    EXPECT_EQ(test::ReadFile(path), "new lines\n");
    EXPECT_THROW(file.Append("more"), EFileWriteError);
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"AllFilesPpb.csv"});
}

TEST(ReplacementFile, FailuresNameTheFileAndTheReason) {
    test::ScratchDir dir;
    try {
        TReplacementFile file(dir.File("missing/out.csv"));
        ADD_FAILURE() << "a folder that does not exist took a file";
    } catch (const EFileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot write file \"" + dir.File("missing/out.csv") +
                                             "\": No such file or directory");
        EXPECT_EQ(e.Reason(), "No such file or directory");
    }
}

TEST(ReadWholeFile, RaisesForAMissingFileAndOneOverItsLimit) {
    test::ScratchDir dir;
    EXPECT_THROW(ReadWholeFile(dir.File("nothing")), EFileError);
    test::WriteFileForTest(dir.File("a"), std::string("a\0b", 3));
    EXPECT_EQ(ReadWholeFile(dir.File("a")), std::string("a\0b", 3));
    EXPECT_EQ(ReadWholeFile(dir.File("a"), 3), std::string("a\0b", 3));
    EXPECT_THROW(ReadWholeFile(dir.File("a"), 2), EFileTooLarge);
    // A stream that tells no size is cut off at the limit as well.
    EXPECT_THROW(ReadWholeFile("/dev/zero", 1 << 20), EFileTooLarge);
}

}  // namespace
}  // namespace kel
