#include <gtest/gtest.h>

#include <algorithm>

#include "app/RecentFiles.h"

namespace kel {
namespace {

using Paths = std::vector<std::string>;

TEST(RecentFiles, NewestFirstEachPathOnceAndTheOldestDropsOut) {
    Paths paths;
    AddRecent(paths, "/data/a.kel");
    AddRecent(paths, "/data/b.kel");
    AddRecent(paths, "/data/a.kel");  // opened again: moves up, not twice
    AddRecent(paths, "");
    EXPECT_EQ(paths, (Paths{"/data/a.kel", "/data/b.kel"}));

    for (int i = 0; i < 12; ++i) AddRecent(paths, "/data/p" + std::to_string(i) + ".kel");
    ASSERT_EQ(paths.size(), kRecentCapacity);
    EXPECT_EQ(paths.front(), "/data/p11.kel");
    EXPECT_EQ(paths.back(), "/data/p2.kel");

    ForgetRecent(paths, "/data/p5.kel");
    ForgetRecent(paths, "/data/never.kel");
    EXPECT_EQ(paths.size(), kRecentCapacity - 1);
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/data/p5.kel"), 0);
}

TEST(RecentFiles, SurviveTheSettingsStoreAndAShorterListClearsItsOldSlots) {
    MemorySettings store;
    EXPECT_TRUE(ReadRecentFiles(store).Profiles.empty());
    TRecentFiles recent;
    for (int i = 0; i < 4; ++i) AddRecent(recent.Profiles, "/p/" + std::to_string(i) + ".kel");
    AddRecent(recent.Folders, "/p");
    WriteRecentFiles(store, recent);
    EXPECT_EQ(store.FindString("Recent", "Profile1"), "/p/3.kel");
    TRecentFiles back = ReadRecentFiles(store);
    EXPECT_EQ(back.Profiles, recent.Profiles);
    EXPECT_EQ(back.Folders, (Paths{"/p"}));

    ForgetRecent(recent.Profiles, "/p/3.kel");
    ForgetRecent(recent.Profiles, "/p/2.kel");
    WriteRecentFiles(store, recent);
    EXPECT_EQ(ReadRecentFiles(store).Profiles, (Paths{"/p/1.kel", "/p/0.kel"}));

    // A hand-edited file: a gap, a repeat and an integer are skipped.
    store.WriteString("Recent", "Profile4", "/p/1.kel");
    store.WriteString("Recent", "Profile6", "/q/x.kel");
    store.WriteInteger("Recent", "Profile7", 12);
    EXPECT_EQ(ReadRecentFiles(store).Profiles, (Paths{"/p/1.kel", "/p/0.kel", "/q/x.kel"}));
}

}  // namespace
}  // namespace kel
