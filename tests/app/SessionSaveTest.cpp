#include <gtest/gtest.h>

#include <filesystem>

#include "common/Platform.h"
#include "support/SessionTestSupport.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

// "&Save" over a file the user made read-only: refused with the window's
// "Save Error!" naming the file, which stays as it was.
TEST(SessionSave, AReadOnlyFileIsRefusedNotReplaced) {
    test::ScratchDir dir;
    test::RecordedMessages boxes;
    TKelViewSession session{test::TestServices()};
    session.ShowProfile(test::SaveProfile(dir, test::ConstantProfile(2), "shown.kel"));
    for (const char* name : {"kept.kel", "kept.csv"}) {
        const std::string path = dir.File(name);
        test::WriteFileForTest(path, "the user's own");
        fs::permissions(os::PathOf(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
        EXPECT_EQ(session.SaveProfileAs(path), TSaveOutcome::Failed) << name;
        EXPECT_EQ(test::ReadFile(path), "the user's own");
        fs::permissions(os::PathOf(path), fs::perms::owner_write, fs::perm_options::add);
    }
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Save Error! kept.kel: the file is read-only",
                                                       "Save Error! kept.csv: the file is read-only"}));
}

}  // namespace
}  // namespace kel
