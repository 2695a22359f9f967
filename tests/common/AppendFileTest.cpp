#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "common/AppendFile.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

ino_t InodeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(RewriteFile, CreatesAMissingFileAndReplacesAPlainOneInPlace) {
    test::ScratchDir dir;
    std::string path = dir.File("a.kelPpb.csv");
    ASSERT_TRUE(RewriteFile(path, "first line\nsecond line\n"));
    EXPECT_EQ(test::ReadFile(path), "first line\nsecond line\n");
    ino_t before = InodeOf(path);
    ASSERT_TRUE(RewriteFile(path, "short\n"));
    EXPECT_EQ(test::ReadFile(path), "short\n");
    EXPECT_EQ(InodeOf(path), before);
    EXPECT_EQ(test::ListFolder(dir.Path()), std::vector<std::string>{"a.kelPpb.csv"});
}

TEST(RewriteFile, NoBytesLeaveNoFile) {
    test::ScratchDir dir;
    std::string path = dir.File("a.kelPpb.csv");
    test::WriteFileForTest(path, "old lines\n");
    ASSERT_TRUE(RewriteFile(path, ""));
    EXPECT_TRUE(test::ListFolder(dir.Path()).empty());
    ASSERT_TRUE(RewriteFile(path, ""));  // nor is a missing file an error
}

// Deleting a name never touches what else it leads to, so links are replaced
// by a file of their own.
TEST(RewriteFile, LinksAreReplacedAndWhatTheyLeadToIsKept) {
    test::ScratchDir dir;
    std::string target = dir.File("target.csv"), symbolic = dir.File("symbolic.csv"), hard = dir.File("hard.csv");
    test::WriteFileForTest(target, "kept\n");
    ASSERT_EQ(::symlink(target.c_str(), symbolic.c_str()), 0);
    ASSERT_EQ(::link(target.c_str(), hard.c_str()), 0);

    ASSERT_TRUE(RewriteFile(symbolic, "new\n"));
    ASSERT_TRUE(RewriteFile(hard, "other\n"));
    EXPECT_EQ(test::ReadFile(target), "kept\n");
    EXPECT_EQ(test::ReadFile(symbolic), "new\n");
    EXPECT_EQ(test::ReadFile(hard), "other\n");
    struct stat st {};
    ASSERT_EQ(::lstat(symbolic.c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
}

TEST(RewriteFile, AFolderInTheWayIsReportedAndKept) {
    test::ScratchDir dir;
    std::string folder = dir.File("a.kelPpb.csv");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    test::WriteFileForTest(folder + "/keep", "kept");
    std::string error;
    EXPECT_FALSE(RewriteFile(folder, "lines\n", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadFile(folder + "/keep"), "kept");
}

}  // namespace
}  // namespace kel
