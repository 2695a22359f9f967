#include "common/TextEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace kel {
namespace {

TEST(Utf8, WellFormedSequencesOnly) {
    for (const char* good : {"", "plain ASCII \x01\x7F", "\xC2\xB5", "\xE2\x82\xAC", "\xF0\x9F\x98\x80",
                             "\xF4\x8F\xBF\xBF", "\xED\x9F\xBF", "exhaled \xC2\xB5g \xC3\xA9t\xC3\xA9"})
        EXPECT_TRUE(IsValidUtf8(good)) << good;
    for (const char* bad : {"\x80", "\xBF", "\xC2", "\xC2 ", "\xE2\x82", "\xC0\xAF", "\xC1\xBF", "\xE0\x9F\xBF",
                            "\xF0\x8F\xBF\xBF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80",
                            "\xFE", "\xFF", "25\xB0" "C"})
        EXPECT_FALSE(IsValidUtf8(bad)) << bad;
}

TEST(Utf8, OneBadByteAnywhereInALongTextIsFound) {
    // Before, inside and after the runs of ASCII checked eight bytes at a time.
    for (std::size_t at = 0; at < 40; ++at) {
        std::string text(40, 'a');
        text[at] = '\xB0';  // a stray continuation byte
        EXPECT_FALSE(IsValidUtf8(text)) << at;
        text[at] = '\xC2';  // a sequence cut short
        EXPECT_FALSE(IsValidUtf8(text)) << at;
        text.insert(at + 1, 1, '\xB5');
        EXPECT_TRUE(IsValidUtf8(text)) << at;
    }
}

TEST(Windows1252, EveryByteBecomesOneCharacterOfValidUtf8) {
    EXPECT_EQ(Windows1252ToUtf8("25\xB0" "C sample"), "25\xC2\xB0" "C sample");
    EXPECT_EQ(Windows1252ToUtf8("\x80\x85\x93\x99\x9F"), "\xE2\x82\xAC\xE2\x80\xA6\xE2\x80\x9C\xE2\x84\xA2\xC5\xB8");
    EXPECT_EQ(Windows1252ToUtf8("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");  // unassigned
    EXPECT_EQ(Windows1252ToUtf8(std::string("\0\t\x7F", 3)), std::string("\0\t\x7F", 3));
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    const std::string decoded = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(decoded));
    EXPECT_EQ(Utf8Length(decoded), 256u);
    EXPECT_EQ(Windows1252CodePoint(0xE9), U'\u00E9');
    EXPECT_EQ(Windows1252CodePoint(0x80), U'\u20AC');
}

TEST(Windows1252, OnlyForTextsThatAreNotUtf8) {
    EXPECT_EQ(TextAsUtf8("caf\xC3\xA9"), "caf\xC3\xA9");
    EXPECT_EQ(TextAsUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(TextAsUtf8("\xC3\xA9 \xE9"), "\xC3\x83\xC2\xA9 \xC3\xA9");  // one byte decides for the whole text
}

TEST(Utf8, PrefixesCountCharactersAndNeverCutOne) {
    const std::string text = "a\xC2\xB5\xE2\x82\xAC\xF0\x9F\x98\x80z";  // a µ € 😀 z
    EXPECT_EQ(Utf8Length(text), 5u);
    EXPECT_EQ(Utf8Prefix(text, 0), "");
    EXPECT_EQ(Utf8Prefix(text, 2), "a\xC2\xB5");
    EXPECT_EQ(Utf8Prefix(text, 3), "a\xC2\xB5\xE2\x82\xAC");
    EXPECT_EQ(Utf8Prefix(text, 4), "a\xC2\xB5\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8Prefix(text, 9), text);
    // A byte that starts no sequence is one character; what follows is not swallowed.
    EXPECT_EQ(Utf8Length("\xE2\x82" "x\xFF"), 4u);
    EXPECT_EQ(Utf8Prefix("\xE2\x82" "x\xFF", 3), "\xE2\x82" "x");
}

}  // namespace
}  // namespace kel
