#include "common/TextExcerpt.h"

#include <gtest/gtest.h>

#include "common/Errors.h"
#include "common/NumberText.h"

namespace kel {
namespace {

TEST(MessageExcerpt, KeepsPrintableTextAndEscapesWhatATerminalWouldObey) {
    EXPECT_EQ(MessageExcerpt("acetone (C3H6O)"), "acetone (C3H6O)");
    EXPECT_EQ(MessageExcerpt("25\xC2\xB0" "C \xC2\xB5g \xC3\xA9t\xC3\xA9"), "25\xC2\xB0" "C \xC2\xB5g \xC3\xA9t\xC3\xA9");
    // A title change and a screen clear, a DEL, a C1 control sequence
    // introducer in UTF-8 and alone, a stray continuation byte, a cut
    // three-byte character at the end.
    EXPECT_EQ(MessageExcerpt("\x1b]0;owned\x07\x1b[2J"), "\\x1b]0;owned\\x07\\x1b[2J");
    EXPECT_EQ(MessageExcerpt(std::string("a\x7f\0b", 4)), "a\\x7f\\x00b");
    EXPECT_EQ(MessageExcerpt("\xC2\x9B" "2J \x9B \x80 \xE2\x82"), "\\x9b2J \\x9b \\x80 \\xe2\\x82");
    // Overlong forms and surrogates are no characters.
    EXPECT_EQ(MessageExcerpt("\xC0\xAF \xED\xA0\x80"), "\\xc0\\xaf \\xed\\xa0\\x80");
}

TEST(MessageExcerpt, CutsLongTextAtEightyCharactersAndSaysSo) {
    EXPECT_EQ(MessageExcerpt(std::string(80, 'x')), std::string(80, 'x'));
    EXPECT_EQ(MessageExcerpt(std::string(100 << 20, 'x')), std::string(80, 'x') + "\xE2\x80\xA6");
    // Characters are counted, not bytes: an escape or a two-byte character is one.
    std::string mixed;
    for (int i = 0; i < 50; ++i) mixed += "\xC2\xB5\x1b";
    EXPECT_EQ(MessageExcerpt(mixed).size(), 40 * 2 + 40 * 4 + 3);
}

TEST(MessageExcerpt, NumberErrorsQuoteNoMoreThanTheExcerpt) {
    try {
        TextToFloat("\x1b[2J" + std::string(1000, '9') + "x");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "'\\x1b[2J" + std::string(76, '9') + "\xE2\x80\xA6' is not a valid floating point value");
    }
}

}  // namespace
}  // namespace kel
