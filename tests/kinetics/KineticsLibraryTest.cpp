#include "kinetics/KineticsLibrary.h"

#include <gtest/gtest.h>

#include <fstream>

#include "common/Settings.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

class KineticsStartup : public ::testing::Test {
protected:
    ~KineticsStartup() override { ReleaseKineticsLibrary(); }
    MemorySettings store;
    test::ScratchDir dir;
};

TEST_F(KineticsStartup, LoadsTheFileNamedInTheSettings) {
    std::string path = dir.File("main.txt");
    { std::ofstream(path, std::ios::binary) << "a (A)\n1\n19 1e-9 1\n1\n59 1\nb\n1\n19 1e-9 1\n1\n61 1\n"; }
    store.WriteString("VANTOR", "kbase", path);
    LoadKineticsAtStartup(store);
    EXPECT_EQ(KineticsFileName(), path);
    EXPECT_EQ(KineticsLibrary().Count(), 2);

    // A reload replaces the compounds rather than adding to them.
    ReloadKineticsLibrary();
    EXPECT_EQ(KineticsLibrary().Count(), 2);
    ReleaseKineticsLibrary();
    EXPECT_EQ(KineticsLibrary().Count(), 0);
    EXPECT_EQ(KineticsFileName(), "");
}

TEST_F(KineticsStartup, NoNameMeansAnEmptyLibraryWithoutMessages) {
    test::RecordedMessages messages;
    store.WriteInteger("VANTOR", "kbase", 5);  // not a string: as good as absent
    LoadKineticsAtStartup(store);
    EXPECT_EQ(KineticsFileName(), "");
    EXPECT_EQ(KineticsLibrary().Count(), 0);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(KineticsStartup, SaveFileNameWritesTheKbaseValue) {
    SetKineticsFileName("/data/kinetics.txt");
    SaveFileName(store);
    EXPECT_EQ(store.FindString("VANTOR", "kbase"), "/data/kinetics.txt");
    EXPECT_EQ(store.ReadString("VANTOR", "other", "fallback"), "fallback");
    EXPECT_EQ(store.ReadInteger("VANTOR", "kbase", 7), 7);
}

}  // namespace
}  // namespace kel
