// What a profile reader never reads (repeated lists, rows past the 29th,
// elements no profile has, and whatever lies inside them) costs no memory
// beyond the text, whether the profile is then read or refused.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "support/probes/AllocationProbe.h"
#include "profile/Kel.h"
#include "profile/ProfileLimits.h"
#include "support/TestSupport.h"

namespace kel {
namespace {

std::string ProfileText(std::size_t slots, std::uint32_t seed) {
    TKel kel;
    kel.SetArrays(28, static_cast<std::int16_t>(slots));
    kel.nim = 29;
    kel.njm = static_cast<std::int16_t>(slots);
    kel.p = 0.72;
    kel.comment = "breath";
    for (std::size_t r = 0; r < 29; ++r) {
        kel.Name[r] = std::to_string(17 + 2 * r + seed);
        kel.Dam[r] = static_cast<std::uint16_t>(r + seed);
        for (std::int32_t& count : kel.Counts[r]) {
            seed ^= seed << 13;
            seed ^= seed >> 17;
            seed ^= seed << 5;
            count = static_cast<std::int32_t>(seed % 1000001u);
        }
    }
    for (std::size_t s = 0; s < slots; ++s) kel.Times[s] = static_cast<std::int32_t>(s * 3);
    return kel.BuildXml();
}

std::string List(const std::string& name, std::size_t entries) {
    std::string list = "<" + name + ">";
    for (std::size_t i = 0; i < entries; ++i) list += "<c>" + std::to_string(i % 997) + "</c>";
    return list + "</" + name + ">";
}

void Insert(std::string& text, const std::string& before, const std::string& what) {
    std::size_t at = text.find(before);
    ASSERT_NE(at, std::string::npos) << before;
    text.insert(at, what);
}

struct Loaded {
    std::string error, saved;  // the load's reason, and the profile it read as saved
    std::size_t peak = 0;      // the most bytes held at once while loading
};

Loaded Load(const test::ScratchDir& dir, const std::string& text) {
    std::string path = dir.File("profile.kel");
    test::WriteFileForTest(path, text);
    TKel kel;
    test::ResetLargestAllocation();
    Loaded loaded;
    loaded.error = kel.LoadFromFile(path).io.reason;
    loaded.peak = test::PeakHeldBytes();
    if (loaded.error.empty()) loaded.saved = kel.BuildXml();
    return loaded;
}

TEST(ProfileUnread, WhatIsNeverReadIsNotKeptAndChangesNothingRead) {
    test::ScratchDir dir;
    const std::string clean = ProfileText(300, 2463534242u);
    Loaded plain = Load(dir, clean);
    ASSERT_EQ(plain.error, "");

    // Each kind of place the reader passes over, filled with what a real
    // profile holds elsewhere (another profile's rows, counts, header
    // elements) so that reading any of it would change what is read.
    const std::string other = ProfileText(300, 12345u);
    auto between = [&](const std::string& from, const std::string& to) {
        std::size_t start = other.find(from) + from.size();
        return other.substr(start, other.rfind(to) - start);
    };
    const std::string otherIons = "<Ions>" + between("<Ions>", "</Ions>") + "</Ions>";
    std::string text = clean;
    std::string lists;
    for (int i = 0; i < 20; ++i) lists += List("Times", 32767);
    Insert(text, "</kel>", lists + otherIons + "<Unknown>" + between("<kel>", "<Ions>") + "</Unknown>\r\n");
    Insert(text, "</Ions>", between("<Ions>", "</Ions>"));  // rows past the 29th
    Insert(text, "</Ion>", List("Counts", 300) + "<Name>x</Name>" + List("Extra", 3000));
    Insert(text, "</comment>", "<x><nim>9</nim></x>");
    Insert(text, "<njm>", "<Header><nim>8</nim><njm>20</njm></Header>");

    Loaded full = Load(dir, text);
    ASSERT_EQ(full.error, "");
    EXPECT_TRUE(full.saved == plain.saved) << "nothing passed over is read";
    // The text and its copy of the read lists; a kept element for each of
    // the 700,000 passed over would take more than 30 MiB.
    EXPECT_LT(full.peak, text.size() + (std::size_t{1} << 20)) << text.size();
}

TEST(ProfileUnread, RepeatedListsAreRefusedAtTheElementLimitWithoutBeingKept) {
    test::ScratchDir dir;
    std::string text = "<kel>";
    for (int i = 0; i < 31; ++i) text += List("Times", 32767);
    text += "</kel>";
    Loaded refused = Load(dir, text);
    EXPECT_NE(refused.error.find("more than " + std::to_string(limits::kMostElements) +
                                 " elements, more than any profile holds"),
              std::string::npos)
        << refused.error;
    EXPECT_LT(refused.peak, text.size() + (std::size_t{1} << 20)) << text.size();
}

}  // namespace
}  // namespace kel
