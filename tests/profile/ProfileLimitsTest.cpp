// Texts that no profile could be are refused by what a profile can hold:
// depth, list length, tag length, element count and file size, each with a
// message naming the file and the limit; the largest real profile still
// loads whole, just inside every limit.
#include <gtest/gtest.h>

#include <string>

#include "profile/Kel.h"
#include "support/TestSupport.h"
#include "synth/ProfileGenerator.h"
#include "zip/SciZipFile.h"

namespace kel {
namespace {

constexpr int kSlots = 32767;

// The reason a load of `text`, as a plain file and zipped, ends with;
// both must agree but for the file's name.
std::string Refusal(const test::ScratchDir& dir, const std::string& text) {
    std::string plain = dir.File("hostile.kel"), zipped = dir.File("zipped.kel");
    test::WriteFileForTest(plain, text);
    TZipFile zip;
    zip.AddFile("zipped.txt.kel", 0);
    zip.SetUncompressed(0, text);
    EXPECT_TRUE(zip.SaveToFile(zipped));
    TKel kel;
    TProfileLoadResult fromPlain = kel.LoadFromFile(plain), fromZip = kel.LoadFromFile(zipped);
    EXPECT_TRUE(fromPlain.ended);
    EXPECT_NE(fromPlain.io.reason.find("\"" + plain + "\""), std::string::npos) << fromPlain.io.reason;
    std::string reason = fromZip.io.reason;
    if (auto at = reason.find(zipped); at != std::string::npos) reason.replace(at, zipped.size(), plain);
    EXPECT_EQ(reason, fromPlain.io.reason);
    return fromPlain.io.reason;
}

std::string Repeated(const std::string& unit, std::size_t times) {
    std::string out;
    out.reserve(unit.size() * times);
    for (std::size_t i = 0; i < times; ++i) out += unit;
    return out;
}

TEST(ProfileLimits, HostileStructuresAreRefusedByWhatAProfileHolds) {
    test::ScratchDir dir;
    const std::string file = " (in \"" + dir.File("hostile.kel") + "\")";
    struct Case {
        std::string text, reason;
    };
    std::string list = "<kel><Times>" + Repeated("<t>1</t>", kSlots + 1) + "</Times></kel>";
    std::string lists = "<kel>" + Repeated("<Times>" + Repeated("<t>1</t>", kSlots) + "</Times>", 31) + "</kel>";
    std::string attributes = "<kel" + Repeated(" a=\"1\"", 1000) + ">";
    const Case cases[] = {
        {Repeated("<a/>", 6),
         "Not a profile: at byte 20 of the XML text, the element <a/> is nested deeper than 5 elements, more than any "
         "profile holds"},
        {list, "Not a profile: at byte " + std::to_string(12 + 8 * kSlots) +
                   " of the XML text, the element <Times> has more than 32767 children, more than any profile holds"},
        // The 984035th element is the 993rd entry of the 31st list.
        {lists, "Not a profile: at byte " + std::to_string(5 + 30 * (15 + 8 * kSlots) + 7 + 8 * 992) +
                    " of the XML text, more than 984034 elements, more than any profile holds"},
        {attributes, "Not a profile: at byte 0 of the XML text, the tag <kel a=\"1\" a=\"1\" a=\"1\" a=...> is longer "
                     "than 14 characters, more than any profile holds"},
        {"<kel><" + std::string(1 << 20, 'n') + ">",
         "Not a profile: at byte 5 of the XML text, the tag <nnnnnnnnnnnnnnnnnnnnnnnn...> is longer than 14 "
         "characters, more than any profile holds"},
    };
    for (const Case& c : cases) EXPECT_EQ(Refusal(dir, c.text), c.reason + file) << c.text.substr(0, 40);
}

// A plain file longer than any profile text is refused before it is read.
TEST(ProfileLimits, AFileLongerThanAnyProfileIsNotRead) {
    test::ScratchDir dir;
    std::string path = dir.File("long.kel");
    test::WriteFileForTest(path, std::string(std::size_t{24} << 20, ' '));
    TKel kel;
    EXPECT_EQ(kel.LoadFromFile(path).io.reason,
              "Not a profile: \"" + path + "\" holds more than 23 MiB, more than any profile");
}

// The largest profile, 29 rows in use over 32767 slots, reads back whole
// from both forms, while one level, one entry or one character more is
// refused.
TEST(ProfileLimits, TheLargestProfileLoadsWholeJustInsideTheLimits) {
    synth::ProfileOptions options = synth::DefaultOptions(7);
    options.slots = kSlots;
    options.cycles = kSlots;
    TKel largest = synth::MakeProfile(options);
    for (std::size_t r = 0; r < 29; ++r)
        if (largest.Name[r].empty()) largest.Name[r] = "r" + std::to_string(r);
    test::ScratchDir dir;
    std::string zipped = dir.File("largest.kel"), plain = dir.File("largest-plain.kel");
    ASSERT_TRUE(largest.SaveZipped(zipped));
    std::string text = largest.BuildXml();
    test::WriteFileForTest(plain, text);
    for (const std::string& path : {zipped, plain}) {
        TKel kel;
        ASSERT_TRUE(kel.LoadFromFile(path)) << path;
        EXPECT_EQ(kel.njm, kSlots);
        EXPECT_EQ(kel.jm, largest.jm);
        EXPECT_EQ(kel.comment, largest.comment);
        for (std::size_t r = 0; r < 29; ++r) {
            ASSERT_EQ(kel.Name[r], largest.Name[r]) << r;
            ASSERT_EQ(kel.Cntm[r], largest.Cntm[r]) << r;
            for (std::size_t s = 0; s < static_cast<std::size_t>(kSlots); ++s)
                ASSERT_EQ(kel.Counts[r][s], largest.Counts[r][s]) << r << "/" << s;
        }
        for (std::size_t s = 0; s < static_cast<std::size_t>(kSlots); ++s) ASSERT_EQ(kel.Times[s], largest.Times[s]);
    }
    auto refusedFor = [&](const std::string& changed) {
        std::string reason = Refusal(dir, changed);
        EXPECT_NE(reason.find("more than any profile holds"), std::string::npos) << reason;
    };
    std::string deeper = text;
    deeper.replace(deeper.find("<c>"), 3, "<c><x></x>");
    refusedFor(deeper);
    std::string longer = text;
    longer.replace(longer.find("</Times>"), 0, "<t>0</t>");
    refusedFor(longer);
    std::string named = text;
    named.replace(named.find("<Ions>"), 0, "<DateOriginTimes>1</DateOriginTimes>");
    refusedFor(named);
}

}  // namespace
}  // namespace kel
