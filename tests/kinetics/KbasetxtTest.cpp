#include "kinetics/Kbasetxt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "common/Errors.h"

#include "support/TestSupport.h"

namespace kel {
namespace {

using test::RecordedMessages;

// A library read as the window reads it: its messages shown from the result.
TKbase Load(std::string_view text) {
    TKbase library;
    ShowNotices(KineticsNotices(library.LoadText(text)));
    return library;
}

const char* const kAcetone =
    "acetone (C3H6O)\r\n"
    "2\r\n"
    "19 3.9e-9 1\r\n"
    "30 1.2e-9 1 0.5\r\n"
    "2\r\n"
    "59 1\r\n"
    "77 1 1.1\r\n";

TEST(KineticsFile, ReadsAllValuesWithTheirDefaults) {
    RecordedMessages messages;
    TKbase library = Load(kAcetone);
    ASSERT_EQ(library.Count(), 1);
    const TKrecord& c = library.Compound(0);
    EXPECT_EQ(c.Name, "acetone");
    EXPECT_EQ(c.Formula, "C3H6O");
    EXPECT_EQ(c.PrecursorCount, 2);
    EXPECT_EQ(c.ProductCount, 2);
    EXPECT_EQ(c.PrecursorMass[1], 30);
    EXPECT_EQ(c.RateCoefficient[0], 3.9e-9);
    EXPECT_EQ(c.PrecursorWeight[1], 1);
    EXPECT_EQ(c.PrecursorFactor[0], 1.0);  // first precursor without a fourth value
    EXPECT_EQ(c.PrecursorFactor[1], 0.5);
    EXPECT_EQ(c.ProductMass[1], 77);
    EXPECT_EQ(c.ProductFactor[0], 1.0);  // product without a third value
    EXPECT_EQ(c.ProductFactor[1], 1.1);
    EXPECT_EQ(c.PrecursorMass[2], 0);
    EXPECT_EQ(c.SelectCount, 1);
    EXPECT_EQ(c.LineCount, 2);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KineticsFile, LaterPrecursorsWithoutFourthValueKeepZero) {
    TKbase library = Load("x\n3\n19 1e-9 1\n30 1e-9 1 \t \n32 1e-9 1 2 ignored words\n1\n59 1\n");
    const TKrecord& c = library.Compound(0);
    EXPECT_EQ(c.PrecursorFactor[0], 1.0);
    EXPECT_EQ(c.PrecursorFactor[1], 0.0);
    EXPECT_EQ(c.PrecursorFactor[2], 2.0);
    EXPECT_EQ(c.LineCount, 3);
}

TEST(KineticsFile, NumbersMayRunOntoTheNextLine) {
    TKbase library = Load("x\n1\n19\n2e-9 1\n1\n59 1\n");
    ASSERT_EQ(library.Count(), 1);
    EXPECT_EQ(library.Compound(0).RateCoefficient[0], 2e-9);
    EXPECT_EQ(library.Compound(0).ProductMass[0], 59);
}

TEST(KineticsNameLine, SplitsNameAndFormula) {
    auto split = [](const std::string& line) {
        TKrecord c = Load(line + "\n1\n19 1e-9 1\n1\n59 1\n").Compound(0);
        return std::make_pair(c.Name, c.Formula);
    };
    EXPECT_EQ(split("water (H2O) trimer"), std::make_pair(std::string("water"), std::string("H2O")));
    EXPECT_EQ(split("(H2O) water"), std::make_pair(std::string("(H2O) water"), std::string()));
    EXPECT_EQ(split("a)b(c"), std::make_pair(std::string("a)b(c"), std::string()));
    EXPECT_EQ(split("  spaced  ( \tC2 )"), std::make_pair(std::string("spaced"), std::string("C2")));
    EXPECT_EQ(split("  plain name  "), std::make_pair(std::string("  plain name  "), std::string()));
    // The name is cut to 40 characters before it is trimmed.
    std::string longName = "abc" + std::string(36, 'x') + " " + std::string(10, 'y');
    ASSERT_EQ(longName.size(), 50u);
    EXPECT_EQ(split(longName + "(F)").first, "abc" + std::string(36, 'x'));
}

TEST(KineticsFile, CountAboveFifteenStopsReadingButKeepsEarlierCompounds) {
    RecordedMessages messages;
    TKbase library = Load(std::string(kAcetone) + "big one (X)\n16\n" + kAcetone);
    EXPECT_EQ(library.Count(), 1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Kbase error big one"});
    EXPECT_EQ(messages.shown[0].first, kProgramCaption);

    RecordedMessages products;
    TKbase second = Load("many products\n1\n19 1e-9 1\n16\n59 1\n");
    EXPECT_EQ(second.Count(), 0);
    EXPECT_EQ(products.Texts(), std::vector<std::string>{"Kbase error many products"});
}

TEST(KineticsFile, FifteenLinesAreAllowed) {
    std::string text = "fifteen\n15\n";
    for (int i = 0; i < 15; ++i) text += std::to_string(19 + i) + " 1e-9 1\n";
    text += "1\n59 1\n";
    EXPECT_EQ(Load(text).Compound(0).PrecursorCount, 15);
}

TEST(KineticsFile, NonNumericTokenDropsThatRecordAndStops) {
    RecordedMessages messages;
    TKbase library = Load(std::string(kAcetone) + "broken\n1\n19 abc 1\n1\n59 1\n" + kAcetone);
    EXPECT_EQ(library.Count(), 1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Kbase error broken"});
}

TEST(KineticsFile, ReadErrorInACountIsReportedOnce) {
    RecordedMessages messages;
    TKbase library = Load("bad count\n2.5\n19 1e-9 1\n1\n59 1\n");
    EXPECT_EQ(library.Count(), 0);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Kbase error bad count"});
}

TEST(KineticsFile, WarningsAreShownInOrderAndKeepTheCompound) {
    RecordedMessages messages;
    TKbase library = Load("heavy\n2\n19 2.5e-8 1\n301 1e-9 1\n2\n59 1\n350.5 1\n");
    EXPECT_EQ(library.Count(), 1);
    EXPECT_EQ(messages.Texts(),
              (std::vector<std::string>{"Kbase k= 2.5E-8", "Kbase mi= 301", "Kbase mp= 350.5"}));
}

TEST(KineticsFile, ReadingHandsBackItsBoxesInTheOrderTheyAreShown) {
    RecordedMessages messages;
    TKbase library;
    TKineticsLoadResult loaded =
        library.LoadText("heavy\n2\n19 2.5e-8 1\n301 1e-9 1\n2\n59 1\n350.5 1\nbad count\n2.5\n19 1e-9 1\n1\n59 1\n");
    EXPECT_EQ(library.Count(), 1);
    // Reading shows nothing; the caller shows what comes back.
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(KineticsNotices(loaded), (TNotices{{"Kelview", "Kbase k= 2.5E-8"},
                                                 {"Kelview", "Kbase mi= 301"},
                                                 {"Kelview", "Kbase mp= 350.5"},
                                                 {"Kelview", "Kbase error bad count"}}));
}

TEST(KineticsFile, WarningDueOnTheFailingLineComesBeforeTheError) {
    RecordedMessages messages;
    TKbase library = Load("odd\n2\n400 5e-8 oops\n19 1e-9 1\n1\n59 1\n");
    EXPECT_EQ(library.Count(), 0);
    EXPECT_EQ(messages.Texts(), (std::vector<std::string>{"Kbase k= 5E-8", "Kbase mi= 400", "Kbase error odd"}));
}

TEST(KineticsFile, TrailingBlankLinesAddNothingAndSayNothing) {
    RecordedMessages messages;
    TKbase library = Load(std::string(kAcetone) + "\r\n\r\n   \r\n\t\r\n");
    EXPECT_EQ(library.Count(), 1);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KineticsFile, ZeroOrNegativeCountsAreSkippedSilently) {
    RecordedMessages messages;
    TKbase library = Load(std::string("empty\n0\n0\nnegative\n-2\n1\n59 1\n") + kAcetone);
    ASSERT_EQ(library.Count(), 1);
    EXPECT_EQ(library.Compound(0).Name, "acetone");
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KineticsFile, RecordCutOffByTheEndOfTheFileIsReported) {
    RecordedMessages messages;
    TKbase library = Load(std::string(kAcetone) + "cut (C)\n1\n19 1e-9 1\n2\n59 1\n");
    EXPECT_EQ(library.Count(), 1);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Kbase error cut"});
}

TEST(KineticsFile, LastLineWithoutLineEndIsComplete) {
    RecordedMessages messages;
    TKbase library = Load("x\n1\n19 1e-9 1\n1\n59 1 0.25");
    ASSERT_EQ(library.Count(), 1);
    EXPECT_EQ(library.Compound(0).ProductFactor[0], 0.25);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(KineticsFile, LoadFileAppendsAndIgnoresUnopenableFiles) {
    RecordedMessages messages;
    test::ScratchDir dir;
    TKbase library;
    library.LoadFile(dir.File("missing.txt"));
    library.LoadFile("");
    library.LoadFile(dir.Path());
    EXPECT_EQ(library.Count(), 0);
    EXPECT_TRUE(messages.shown.empty());

    std::string path = dir.File("k.txt");
    { std::ofstream(path, std::ios::binary) << kAcetone; }
    library.LoadFile(path);
    library.LoadFile(path);
    EXPECT_EQ(library.Count(), 2);
    EXPECT_THROW(library.Compound(2), EKelError);
}

#ifndef _WIN32
TEST(KineticsFile, WhatIsNoLibraryIsRefusedAtOnceWithAMessageNamingIt) {
    RecordedMessages messages;
    test::ScratchDir dir;
    const std::string nul = dir.File("nul.txt"), huge = dir.File("huge.txt"), pipe = dir.File("pipe.txt");
    test::WriteFileForTest(nul, std::string(kAcetone) + std::string(1 << 20, '\0'));
    // Larger than any library, without a byte written: a sparse file.
    { std::ofstream(huge, std::ios::binary) << kAcetone; }
    std::filesystem::resize_file(huge, std::uintmax_t{1} << 30);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    struct Case {
        std::string path, says;
    };
    for (const Case& c : {Case{"/dev/zero", "is not a regular file"}, Case{pipe, "is not a regular file"},
                          Case{nul, "holds NUL bytes"}, Case{huge, "holds more than 16 MiB"}}) {
        TKbase library;
        TKineticsLoadResult loaded = library.LoadFile(c.path);
        EXPECT_EQ(loaded.io.status, TIoStatus::Failed) << c.path;
        EXPECT_NE(loaded.io.reason.find("\"" + c.path + "\""), std::string::npos) << loaded.io.reason;
        EXPECT_NE(loaded.io.reason.find(c.says), std::string::npos) << loaded.io.reason;
        EXPECT_EQ(library.Count(), 0);
        ShowNotices(KineticsNotices(loaded));
        EXPECT_EQ(messages.shown.back().second, loaded.io.reason);
    }
}

#endif

TEST(KineticsFile, AnEndlessNameLineIsQuotedCutAndEscaped) {
    RecordedMessages messages;
    TKbase library = Load("\x1b]0;owned\x07" + std::string(1 << 20, 'n') + "\nnot a count\n");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].second, "Kbase error \\x1b]0;owned\\x07" + std::string(70, 'n') + "\xE2\x80\xA6");
}

// Profile ions 19 (precursor) and 59; compounds listed below.
class KineticsSelection : public ::testing::Test {
protected:
    void SetUp() override {
        library.LoadText(
            "full\n1\n19 1e-9 1\n1\n59 1\n"
            "half\n1\n19 1e-9 1\n2\n59 1\n77 1\n"
            "twice\n1\n19 1e-9 1\n2\n59 1\n59 0.5\n"
            "second line\n2\n30 1e-9 1\n19 1e-9 1\n1\n59 1\n"
            "double precursor\n2\n19 1e-9 1\n19 1e-9 1\n2\n59 1\n77 1\n");
    }
    std::vector<int> Counts() const {
        std::vector<int> counts;
        for (int i = 0; i < library.Count(); ++i) counts.push_back(library.Compound(i).SelectCount);
        return counts;
    }
    TKbase library;
};

TEST_F(KineticsSelection, EveryCompoundIsSelectedAfterLoading) {
    EXPECT_EQ(Counts(), (std::vector<int>{1, 1, 1, 1, 1}));
}

TEST_F(KineticsSelection, MatchesProductsOfTheProfilesPrecursor) {
    library.ClearSelection();
    library.CountMatches(19, 19);
    library.CountMatches(19, 59);
    EXPECT_EQ(Counts(), (std::vector<int>{1, 1, 2, 1, 2}));
    library.DropIncomplete();
    // "half" misses m/z 77; "twice" has its one ion counted for both entries;
    // a product listed for two matching precursors counts twice.
    EXPECT_EQ(Counts(), (std::vector<int>{1, 0, 2, 1, 2}));
}

TEST_F(KineticsSelection, PrecursorCodeZeroMatchesOnlyTheFirstLine) {
    library.ClearSelection();
    library.CountMatches(0, 59);
    EXPECT_EQ(Counts(), (std::vector<int>{1, 1, 2, 1, 1}));
    library.ClearSelection();
    library.CountMatches(30, 59);
    EXPECT_EQ(Counts(), (std::vector<int>{0, 0, 0, 1, 0}));
}

}  // namespace
}  // namespace kel
