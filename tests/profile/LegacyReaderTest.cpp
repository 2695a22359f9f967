#include <gtest/gtest.h>

#include "common/DateTime.h"
#include "common/Errors.h"
#include "profile/Kel.h"
#include "profile/LegacyFormat.h"
#include "support/TestSupport.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

using test::RecordedMessages;
using test::ScratchDir;
using Texts = std::vector<std::string>;

// A load as the window makes it: the boxes shown from its result.
TProfileLoadResult LoadShown(TKel& kel, const std::string& path) {
    TProfileLoadResult loaded = kel.LoadFromFile(path);
    ShowNotices(LoadNotices(loaded));
    return loaded;
}

constexpr long long kFileSeconds = 1622542831;  // 2021-06-01 10:20:31 UTC (TZ=UTC)
const double kFileDate = EncodeDateTime({2021, 6, 1, 10, 20, 30, 0});
const double kNamedAft = 13.074051987176063;

class LegacyReader : public ::testing::Test {
protected:
    LegacyReader() : source(synth::MakeProfile(synth::DefaultOptions(5))) {
        source.DateOrigin = 39000.5;
        source.f4 = 48;
        source.f5 = 11;
    }
    // Writes the first `size` bytes of the source's legacy image (all for 0).
    std::string Write(std::size_t size = 0, const char* name = "p.kel") {
        std::string path = dir.File(name);
        synth::WriteLegacyFile(path, source, size);
        test::SetFileTime(path, kFileSeconds);
        return path;
    }
    std::string WriteBytes(std::vector<std::uint8_t> bytes, const char* name = "p.kel") {
        std::string path = dir.File(name);
        synth::WriteBytes(path, bytes);
        test::SetFileTime(path, kFileSeconds);
        return path;
    }
    ScratchDir dir;
    TKel source;
};

TEST_F(LegacyReader, FullFileRestoresEveryStoredField) {
    RecordedMessages boxes;
    TKel kel;
    LoadShown(kel, Write());
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(kel.nim, source.nim);
    EXPECT_EQ(kel.njm, source.njm);
    EXPECT_EQ(kel.im, source.im);
    EXPECT_EQ(kel.jm, source.jm);
    for (std::size_t r = 0; r < 29; ++r) {
        EXPECT_EQ(kel.Name[r], source.Name[r]);
        EXPECT_EQ(kel.Dam[r], source.Dam[r]);
        EXPECT_EQ(kel.Cntm[r], source.Cntm[r]);
        EXPECT_EQ(kel.Counts[r], source.Counts[r]) << r;
    }
    EXPECT_EQ(kel.Times, source.Times);
    for (auto [got, want] : {std::pair{kel.p, source.p}, {kel.fc, source.fc}, {kel.f1, source.f1},
                             {kel.Tg, source.Tg}, {kel.Aft, source.Aft}, {kel.lr, source.lr},
                             {kel.f4, source.f4}, {kel.f5, source.f5}, {kel.f6, source.f6},
                             {kel.f7, source.f7}, {kel.f8, source.f8}})
        EXPECT_EQ(got.ToBytes(), want.ToBytes());
    EXPECT_EQ(kel.SystemId, source.SystemId);
    EXPECT_EQ(kel.ion, source.ion);
    EXPECT_EQ(kel.reactant, source.reactant);
    EXPECT_EQ(kel.comment, source.comment);
    EXPECT_EQ(kel.DateOrigin, 39000.5);
    EXPECT_EQ(kel.ProfileDate, 39000.5);
    EXPECT_EQ(kel.FScan, 500);
    EXPECT_EQ(kel.IonMass[0], 19);
    EXPECT_EQ(kel.IonMass[6], 59);
}

TEST_F(LegacyReader, FileEndingAfterTheMainBlockTakesEveryDefault) {
    RecordedMessages boxes;
    TKel kel;
    LoadShown(kel, Write(24627));
    EXPECT_EQ(boxes.Texts(), Texts{"p and fc info missing"});
    EXPECT_EQ(static_cast<double>(kel.p), 0.5);
    EXPECT_EQ(static_cast<double>(kel.fc), 150);
    EXPECT_EQ(static_cast<double>(kel.f1), 2);
    EXPECT_EQ(static_cast<double>(kel.Tg), 300);
    EXPECT_EQ(static_cast<double>(kel.Aft), kNamedAft);
    EXPECT_EQ(static_cast<double>(kel.lr), 70);
    EXPECT_EQ(kel.ion, "");  // the name of row 0, empty in generated profiles
    EXPECT_EQ(kel.reactant, "");
    EXPECT_EQ(kel.comment, "");
    EXPECT_EQ(kel.DateOrigin, 0);
    EXPECT_EQ(kel.ProfileDate, kFileDate);
    EXPECT_EQ(kel.Counts[1], source.Counts[1]);
}

TEST_F(LegacyReader, IonFallsBackToTheNameOfRowZero) {
    source.Name[0] = "H3O+ mode";
    TKel kel;
    RecordedMessages boxes;
    LoadShown(kel, Write(24722));
    EXPECT_EQ(kel.ion, "H3O+ mode");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LegacyReader, FileEndingAfterTheSecondSectionIsSilent) {
    RecordedMessages boxes;
    TKel kel;
    LoadShown(kel, Write(24645));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(kel.p.ToBytes(), source.p.ToBytes());
    EXPECT_EQ(kel.f1.ToBytes(), source.f1.ToBytes());
    EXPECT_EQ(static_cast<double>(kel.Tg), 300);
    EXPECT_EQ(static_cast<double>(kel.Aft), kNamedAft);
    EXPECT_EQ(static_cast<double>(kel.lr), 70);
    EXPECT_EQ(kel.ion, source.Name[0]);
}

TEST_F(LegacyReader, FileEndingAfterTheThirdSectionKeepsItsValues) {
    TKel kel;
    LoadShown(kel, Write(24722));
    EXPECT_EQ(kel.Tg.ToBytes(), source.Tg.ToBytes());
    EXPECT_EQ(kel.f4.ToBytes(), source.f4.ToBytes());
    EXPECT_EQ(kel.SystemId, source.SystemId);
    EXPECT_EQ(kel.DateOrigin, 39000.5);
    EXPECT_EQ(kel.ion, source.Name[0]);
    EXPECT_EQ(kel.reactant, "");
}

TEST_F(LegacyReader, ValuesBeyondACutThirdSectionAreCarriedOver) {
    TKel kel;
    kel.f7 = 1.25;
    kel.SystemId = "previous";
    LoadShown(kel, Write(24675));  // ends before f6
    EXPECT_EQ(kel.f4.ToBytes(), source.f4.ToBytes());
    EXPECT_EQ(static_cast<double>(kel.f7), 1.25);
    EXPECT_EQ(kel.SystemId, "previous");
    EXPECT_EQ(static_cast<double>(kel.Tg), 300);  // section defaults still apply
}

TEST_F(LegacyReader, DateOriginDecidesUnlessOutOfRange) {
    struct Case {
        double origin, expected;
    };
    for (Case c : {Case{39000.5, 39000.5}, Case{30000, 30000}, Case{29999, kFileDate}, Case{50000, 50000},
                   Case{50000.1, kFileDate}, Case{0, kFileDate}, Case{-5, kFileDate}}) {
        source.DateOrigin = c.origin;
        TKel kel;
        LoadShown(kel, Write());
        EXPECT_EQ(kel.ProfileDate, c.expected) << c.origin;
        EXPECT_EQ(kel.DateOrigin, c.origin);
    }
}

TEST_F(LegacyReader, FileWithoutAnMsDosDateUsesNow) {
    source.DateOrigin = 0;
    std::string path = Write();
    test::SetFileTime(path, 100);  // 1970
    double before = NowDateTime();
    TKel kel;
    LoadShown(kel, path);
    EXPECT_GE(kel.ProfileDate, before - 1e-6);
    EXPECT_LE(kel.ProfileDate, NowDateTime() + 1e-6);
}

TEST_F(LegacyReader, ScanRateComesFromF6WhenPositive) {
    source.f6 = 250;
    TKel kel;
    LoadShown(kel, Write());
    EXPECT_EQ(kel.FScan, 250);
    source.f6 = 0;
    kel.FScan = 123;
    LoadShown(kel, Write());
    EXPECT_EQ(kel.FScan, 500);
}

TEST_F(LegacyReader, ReadsTheWholeFileEvenHeaderOnly) {
    TKelDetails details;
    details.HeaderOnly = true;
    details.LoadFromFile(Write());
    ASSERT_EQ(details.Counts[1].size(), 201u);
    EXPECT_EQ(details.Counts[1], source.Counts[1]);
    EXPECT_EQ(details.reactant, source.reactant);
}

TEST_F(LegacyReader, InvalidRowNameFailsTheLoad) {
    source.Name[3] = "1.2.3";
    TKel kel;
    TProfileLoadResult badName = kel.LoadFromFile(Write());
    EXPECT_TRUE(badName.ended);
    EXPECT_EQ(badName.io.status, TIoStatus::Damaged);
}

TEST_F(LegacyReader, UnopenableFileKeepsTheRecord) {
    TKel kel;
    LoadShown(kel, Write());
    RecordedMessages boxes;
    LoadShown(kel, dir.File("missing.kel"));
    EXPECT_EQ(boxes.Texts(), Texts{"Open Error! missing.kel: No such file or directory"});
    EXPECT_EQ(boxes.shown[0].first, "Debug");
    EXPECT_EQ(kel.DateOrigin, 0);
    EXPECT_EQ(kel.ProfileDate, 39000.5);
    EXPECT_EQ(kel.Counts[1], source.Counts[1]);
}

TEST_F(LegacyReader, TooShortForASignatureIsReadAsXml) {
    TKel kel;
    EXPECT_TRUE(kel.LoadFromFile(WriteBytes({}, "empty.kel")).ended);
    EXPECT_TRUE(kel.LoadFromFile(WriteBytes({0x4D}, "one.kel")).ended);
}

// Damaged files: never outside an array, nothing left from the profile before.

TEST_F(LegacyReader, FileEndingInsideTheMainBlockReadsZeroForTheRest) {
    TKel kel;
    LoadShown(kel, Write());  // a complete profile first
    RecordedMessages boxes;
    std::size_t cut = legacy::CountOffset(5, 100);
    LoadShown(kel, Write(cut, "cut.kel"));
    EXPECT_EQ(boxes.Texts(), (Texts{"Damaged profile: cut.kel", "p and fc info missing"}));
    EXPECT_EQ(kel.nim, source.nim);
    EXPECT_EQ(kel.Counts[5][99], source.Counts[5][99]);
    EXPECT_EQ(kel.Counts[5][100], 0);
    EXPECT_EQ(kel.Counts[7], std::vector<std::int32_t>(201, 0));
    EXPECT_EQ(kel.Times, std::vector<std::int32_t>(201, 0));
    for (std::size_t r = 0; r < 29; ++r) EXPECT_EQ(kel.Name[r], "") << r;
    EXPECT_EQ(static_cast<double>(kel.p), 0.5);
    EXPECT_EQ(static_cast<double>(kel.lr), 70);
}

TEST_F(LegacyReader, ALoadHandsBackItsBoxesInTheOrderTheyAreShown) {
    RecordedMessages boxes;
    TKel kel;
    TProfileLoadResult cut = kel.LoadFromFile(Write(legacy::CountOffset(5, 100), "cut.kel"));
    TProfileLoadResult gone = kel.LoadFromFile(dir.File("gone.kel"));
    // Reading shows nothing; the caller shows what comes back.
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(LoadNotices(cut), (TNotices{{"Debug", "Damaged profile: cut.kel"}, {"Debug", "p and fc info missing"}}));
    TNotices unread = LoadNotices(gone);
    ASSERT_EQ(unread.size(), 1u);
    EXPECT_EQ(unread[0].caption, "Debug");
    EXPECT_EQ(unread[0].text, "Open Error! gone.kel: " + gone.io.reason);
    // A load that ended leaves its reason to the caller as an error.
    TProfileLoadResult empty = kel.LoadFromFile(WriteBytes({}, "empty.kel"));
    ASSERT_TRUE(empty.ended);
    EXPECT_TRUE(LoadNotices(empty).empty());
}

TEST_F(LegacyReader, FileEndingInsideTheHeaderLeavesAnEmptyRecord) {
    TKel kel;
    LoadShown(kel, Write());
    RecordedMessages boxes;
    LoadShown(kel, Write(6, "tiny.kel"));
    EXPECT_EQ(boxes.Texts(), (Texts{"Damaged profile: tiny.kel", "p and fc info missing"}));
    EXPECT_EQ(kel.nim, 0);
    EXPECT_EQ(kel.njm, 0);
    EXPECT_EQ(kel.jm, 0);
    EXPECT_EQ(kel.Cntm[1], 0);
}

TEST_F(LegacyReader, OutOfRangeSizesAreClampedAndReported) {
    auto bytes = synth::EncodeLegacy(source);
    auto put16 = [&](std::size_t at, int v) {
        bytes[at] = static_cast<std::uint8_t>(v);
        bytes[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    put16(legacy::kNimOffset, 40);
    put16(legacy::kNjmOffset, 300);
    RecordedMessages boxes;
    TKel kel;
    LoadShown(kel, WriteBytes(bytes));
    EXPECT_EQ(boxes.Texts(), Texts{"Damaged profile: p.kel"});
    EXPECT_EQ(kel.nim, 29);
    EXPECT_EQ(kel.njm, 201);
    EXPECT_EQ(kel.Counts.size(), 29u);

    put16(legacy::kNimOffset, -3);
    put16(legacy::kNjmOffset, -1);
    LoadShown(kel, WriteBytes(bytes));
    EXPECT_EQ(kel.nim, 0);
    EXPECT_EQ(kel.njm, 0);
}

TEST_F(LegacyReader, OverlongStringLengthsAreCut) {
    auto bytes = synth::EncodeLegacy(source);
    std::size_t name1 = legacy::kNamesOffset + legacy::kNameSize;
    bytes[name1] = 255;
    for (std::size_t i = 1; i <= 12; ++i) bytes[name1 + i] = '1';
    bytes[legacy::kFourthSection] = 200;
    RecordedMessages boxes;
    TKel kel;
    EXPECT_FALSE(LoadShown(kel, WriteBytes(bytes)).ended);
    EXPECT_EQ(boxes.Texts(), Texts{"Damaged profile: p.kel"});
    EXPECT_EQ(kel.Name[1], "111111111111");
    EXPECT_EQ(kel.Name[2], source.Name[2]);
    EXPECT_EQ(kel.ion.size(), 20u);
}

}  // namespace
}  // namespace kel
