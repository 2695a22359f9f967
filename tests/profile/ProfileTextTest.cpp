// Texts outside ASCII through every profile form: UTF-8 comes back whole,
// the single-byte texts of older files are read as Windows-1252, control
// bytes still vanish, and the name limits count characters.
#include <gtest/gtest.h>

#include <string>

#include "common/TextEncoding.h"
#include "profile/Kel.h"
#include "support/TestSupport.h"
#include "synth/LegacyWriter.h"
#include "synth/ProfileGenerator.h"

namespace kel {
namespace {

// The texts of a profile written by someone who does not write English.
TKel WithTexts() {
    TKel kel = synth::MakeProfile(synth::DefaultOptions(2));
    kel.ion = "H3O+ \xE2\x82\xAC";                                   // "H3O+ €"
    kel.reactant = "exhaled \xC2\xB5g \xC3\xA9t\xC3\xA9";              // "exhaled µg été"
    kel.comment = "25\xC2\xB0" "C sample \xF0\x9F\x98\x80";           // a 4-byte sequence too
    kel.SystemId = "Kelvi\xC3\xB6n \xCE\xBC-Labor Nord";              // 20 characters, 22 bytes
    kel.Name[1] = "19 \xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0\xC2\xB0";  // 12 characters
    kel.Name[18] = "p \xC2\xB5" "bar";
    return kel;
}

void ExpectSameTexts(const TKel& back, const TKel& kel) {
    EXPECT_EQ(back.ion, kel.ion);
    EXPECT_EQ(back.reactant, kel.reactant);
    EXPECT_EQ(back.comment, kel.comment);
    EXPECT_EQ(back.SystemId, kel.SystemId);
    for (std::size_t r = 0; r < 29; ++r) EXPECT_EQ(back.Name[r], kel.Name[r]) << r;
}

// The written text of an ASCII profile with some of its header elements replaced.
std::string EditedText(std::string text, const std::vector<std::pair<std::string, std::string>>& edits) {
    for (const auto& [from, to] : edits) {
        std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

TEST(ProfileTexts, Utf8ComesBackFromTheZippedAndThePlainXmlForm) {
    test::ScratchDir dir;
    const TKel kel = WithTexts();
    const std::string text = kel.BuildXml();
    EXPECT_EQ(text.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?><kel>", 0), 0u);
    EXPECT_TRUE(IsValidUtf8(text));

    ASSERT_TRUE(kel.SaveZipped(dir.File("zipped.kel")));
    TKel zipped;
    ASSERT_TRUE(zipped.LoadFromFile(dir.File("zipped.kel")));
    ExpectSameTexts(zipped, kel);

    test::WriteFileForTest(dir.File("plain.kel"), text);
    TKel plain;
    ASSERT_TRUE(plain.LoadFromFile(dir.File("plain.kel")));
    ExpectSameTexts(plain, kel);
    TKelDetails listed;
    listed.HeaderOnly = true;
    ASSERT_TRUE(listed.LoadFromFile(dir.File("plain.kel")));
    EXPECT_EQ(listed.ion, kel.ion);
    EXPECT_EQ(listed.reactant, kel.reactant);
    EXPECT_EQ(listed.comment, kel.comment);
}

TEST(ProfileTexts, ASingleByteTextInTheRecordCannotSpoilTheOthers) {
    TKel kel = WithTexts();
    kel.comment = "caf\xE9";  // put there by something other than a reader
    const std::string text = kel.BuildXml();
    EXPECT_TRUE(IsValidUtf8(text));
    TKel back;
    back.ParseProfileXml(text);
    EXPECT_EQ(back.comment, "caf\xC3\xA9");
    EXPECT_EQ(back.reactant, kel.reactant);
}

TEST(ProfileTexts, NameLimitsCountCharactersAndNeverCutOne) {
    TKel kel = WithTexts();
    kel.Name[3] = "123456789AB\xC2\xB5X";          // 13 characters: the 12th is two bytes
    kel.SystemId = std::string(19, 'k') + "\xE2\x82\xAC" "x";  // 21 characters: the 20th is three bytes
    TKel back;
    back.ParseProfileXml(kel.BuildXml());
    EXPECT_EQ(back.Name[3], "123456789AB\xC2\xB5");
    EXPECT_EQ(back.SystemId, std::string(19, 'k') + "\xE2\x82\xAC");
    EXPECT_EQ(back.Name[1], kel.Name[1]);  // 12 characters in 21 bytes: whole
}

TEST(ProfileTexts, SingleByteXmlIsReadAsWindows1252WithControlBytesDropped) {
    // As older instrument software wrote it: no encoding named, the texts
    // in Windows-1252, a tab typed into the comment.
    const std::string text = EditedText(synth::MakeProfile(synth::DefaultOptions(3)).BuildXml(),
                                        {{" encoding=\"UTF-8\"", ""},
                                         {"<comment>synthetic</comment>", "<comment>25\xB0" "C\t sample</comment>"},
                                         {"<reactant>breath</reactant>", "<reactant>\x80 5 \xB5g \x93x\x94</reactant>"},
                                         {"<SystemId>KV-SYN-01</SystemId>", "<SystemId>Lab \xB5\x01-2</SystemId>"}});
    TKel kel;
    kel.ParseProfileXml(text);
    EXPECT_EQ(kel.comment, "25\xC2\xB0" "C sample");
    EXPECT_EQ(kel.reactant, "\xE2\x82\xAC 5 \xC2\xB5g \xE2\x80\x9Cx\xE2\x80\x9D");  // "€ 5 µg “x”"
    EXPECT_EQ(kel.SystemId, "Lab \xC2\xB5-2");
    EXPECT_EQ(kel.nim, 29);  // the counts are read as before
    TKelDetails listed;
    listed.HeaderOnly = true;
    listed.ParseProfileXml(text);
    EXPECT_EQ(listed.reactant, kel.reactant);
    EXPECT_EQ(listed.comment, "25\xC2\xB0" "C\t sample");  // the header-only road never tokenizes
}

TEST(ProfileTexts, ATextNotWhollyUtf8IsWindows1252Throughout) {
    // One byte that starts no UTF-8 sequence decides for the whole text, so
    // the browser and the window never read one file two ways.
    const std::string text = EditedText(synth::MakeProfile(synth::DefaultOptions(3)).BuildXml(),
                                        {{"<comment>synthetic</comment>", "<comment>caf\xC3\xA9</comment>"},
                                         {"<reactant>breath</reactant>", "<reactant>\xC3 \x01\xE9t\xE9</reactant>"}});
    TKel kel;
    kel.ParseProfileXml(text);
    EXPECT_EQ(kel.comment, "caf\xC3\x83\xC2\xA9");  // "cafÃ©"
    EXPECT_EQ(kel.reactant, "\xC3\x83 \xC3\xA9t\xC3\xA9");
    TKelDetails listed;
    listed.HeaderOnly = true;
    listed.ParseProfileXml(text);
    EXPECT_EQ(listed.comment, kel.comment);
}

class LegacyTexts : public ::testing::Test {
protected:
    LegacyTexts() : source(synth::MakeProfile(synth::DefaultOptions(4))) {
        // Windows-1252 bytes, as the instrument software wrote them.
        source.comment = "25\xB0" "C sample";
        source.reactant = "\x80 5 \xB5g \xE9t\xE9 \x9F";
        source.SystemId = "Lab \xB5-2 \x96 Nord";
        source.Name[1] = "19\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0\xB0";  // all 12 characters
        synth::WriteLegacyFile(dir.File("legacy.kel"), source);
    }
    // The source's texts as UTF-8.
    static void ExpectDecoded(const TKel& kel) {
        EXPECT_EQ(kel.comment, "25\xC2\xB0" "C sample");
        EXPECT_EQ(kel.reactant, "\xE2\x82\xAC 5 \xC2\xB5g \xC3\xA9t\xC3\xA9 \xC5\xB8");
        EXPECT_EQ(kel.SystemId, "Lab \xC2\xB5-2 \xE2\x80\x93 Nord");
        std::string degrees;
        for (int i = 0; i < 10; ++i) degrees += "\xC2\xB0";
        EXPECT_EQ(kel.Name[1], "19" + degrees);
        EXPECT_EQ(kel.IonMass[0], 19);
    }
    test::ScratchDir dir;
    TKel source;
};

TEST_F(LegacyTexts, AreReadAsWindows1252AndSurviveZippedTwice) {
    TKel legacy;
    ASSERT_TRUE(legacy.LoadFromFile(dir.File("legacy.kel")));
    ExpectDecoded(legacy);
    ASSERT_TRUE(legacy.SaveZipped(dir.File("once.kel")));
    TKel once;
    ASSERT_TRUE(once.LoadFromFile(dir.File("once.kel")));
    ExpectDecoded(once);
    ASSERT_TRUE(once.SaveZipped(dir.File("twice.kel")));
    TKel twice;
    ASSERT_TRUE(twice.LoadFromFile(dir.File("twice.kel")));
    ExpectDecoded(twice);
    EXPECT_EQ(twice.BuildXml(), once.BuildXml());
}

TEST_F(LegacyTexts, TheWorksheetCarriesThemAsUtf8) {
    TKel legacy;
    ASSERT_TRUE(legacy.LoadFromFile(dir.File("legacy.kel")));
    const std::string sheet = legacy.BuildWorksheet();
    EXPECT_TRUE(IsValidUtf8(sheet));
    EXPECT_NE(sheet.find(",Lab \xC2\xB5-2 \xE2\x80\x93 Nord\r\n\"Names\",,19\xC2\xB0\xC2\xB0"), std::string::npos);
}

}  // namespace
}  // namespace kel
