// The operating-system calls: folder parts of paths, listings, and UTF-8
// names reaching the file system whole on every system.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "common/AppendFile.h"
#include "common/DateTime.h"
#include "common/Platform.h"
#include "common/SafeFile.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

bool EndsInKel(std::string_view name) { return name.ends_with(".kel"); }

TEST(Platform, FolderOfAPath) {
    EXPECT_EQ(os::FolderOf("name.kel"), ".");
    EXPECT_EQ(os::FolderOf("/name.kel"), "/");
    EXPECT_EQ(os::FolderOf("a/b/name.kel"), "a/b");
#ifdef _WIN32
    EXPECT_EQ(os::FolderOf("C:\\data\\name.kel"), "C:\\data");
    EXPECT_EQ(os::FolderOf("C:\\name.kel"), "C:\\");
    EXPECT_EQ(os::FolderOf("C:name.kel"), "C:");
#endif
}

TEST(Platform, ListingKeepsWantedRegularFilesOnly) {
    test::ScratchDir dir;
    test::WriteFileForTest(dir.File("a.kel"), "a");
    test::WriteFileForTest(dir.File("b.txt"), "b");
    std::filesystem::create_directory(dir.File("folder.kel"));
    std::optional<std::vector<std::string>> names = os::RegularFileNames(dir.Path(), EndsInKel);
    EXPECT_EQ(names, std::vector<std::string>{"a.kel"});
    EXPECT_FALSE(os::RegularFileNames(dir.File("missing"), EndsInKel));
    EXPECT_EQ(errno, ENOENT);
}

TEST(Platform, Utf8NamesReachTheFileSystemWhole) {
    test::ScratchDir dir;
    const std::string name = "Messung \xC3\xA9t\xC3\xA9 \xCE\xBC.kel";  // "Messung été μ.kel"
    const std::string path = dir.File(name);
    for (TDurability durability : {TDurability::Synced, TDurability::Unsynced})
        PutFileInPlace(path, "profile bytes", durability);
    EXPECT_EQ(ReadWholeFile(path), "profile bytes");
    EXPECT_EQ(AppendToFile(path, " and more"), TAppendResult::Appended);
    EXPECT_EQ(ReadWholeFile(path), "profile bytes and more");
    EXPECT_EQ(os::RegularFileNames(dir.Path(), EndsInKel), std::vector<std::string>{name});
    EXPECT_TRUE(std::filesystem::exists(os::PathOf(path)));
    EXPECT_EQ(os::Utf8Of(os::PathOf(path).filename()), name);
    EXPECT_TRUE(FileDateTime(path).has_value());
}

}  // namespace
}  // namespace kel
