#include <gtest/gtest.h>

#include <filesystem>

#include "common/Errors.h"
#include "common/SafeFile.h"
#include "support/TestSupport.h"

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
