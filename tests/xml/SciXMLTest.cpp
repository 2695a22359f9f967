#include "xml/SciXML.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "common/Errors.h"
#include "common/NumberText.h"

namespace kel {
namespace {

// Parses and records whether OnXMLError was raised, with which sender.
struct Parse {
    explicit Parse(const std::string& text) {
        xml.OnXMLError = [this](TSimploXML& sender) {
            ++errors;
            senderWasParser = &sender == &xml;
        };
        ok = xml.LoadFromString(text).ok();
    }
    TSimploXML xml;
    bool ok = false;
    int errors = 0;
    bool senderWasParser = false;
};

std::vector<std::string> TokenTexts(const TSimploXML& xml) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < xml.TagCount(); ++i) {
        TTagRecord t = xml.Tags()[i];
        texts.push_back((t.IsTag ? "<" : "") + std::string(t.Text));
    }
    return texts;
}

// The tokenizer's rules applied one byte at a time: the model the parser's
// word-at-a-time scan must agree with.
std::vector<std::string> ModelTokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::string run;
    bool inTag = false;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20) continue;
        if (ch != (inTag ? '>' : '<')) {
            run += ch;
            continue;
        }
        bool blank = run.find_first_not_of(' ') == std::string::npos;
        if (!blank && (tokens.size() >= 2 || run.compare(0, 4, "?xml") != 0))
            tokens.push_back((inTag ? "<" : "") + run);
        run.clear();
        inTag = !inTag;
    }
    return tokens;
}

TEST(Tokenizer, EveryByteAtEveryPlaceOfAWordAgreesWithTheRules) {
    for (int b = 0; b < 256; ++b) {
        for (std::size_t at = 0; at < 18; ++at) {
            std::string text = "<a>" + std::string(at, '7') + static_cast<char>(b) + "12</a><b>" +
                               static_cast<char>(b) + std::string(at, 'n') + "</b>";
            Parse p(text);
            // "<" inside a value leaves a tag open: a failure, whose tokens are gone.
            EXPECT_EQ(p.ok, b != '<');
            std::vector<std::string> expected = p.ok ? ModelTokens(text) : std::vector<std::string>{};
            EXPECT_EQ(TokenTexts(p.xml), expected) << "byte " << b << " at " << at;
        }
    }
}

TEST(Tokenizer, MixedTextsAgreeWithTheRules) {
    const char alphabet[] = {'<', '>', '/', 'a', 'b', ' ', '?', 'x', 'm', 'l', '1', '\r', '\n', '\x1F', '\x7F', '\x80', '\xFF'};
    std::uint32_t x = 12345;
    int parsed = 0;
    for (int n = 0; n < 3000; ++n) {
        std::string text;
        x = x * 1103515245u + 12345u;
        std::size_t length = (x >> 16) % 48;
        for (std::size_t i = 0; i < length; ++i) {
            x = x * 1103515245u + 12345u;
            text += alphabet[(x >> 16) % sizeof alphabet];
        }
        Parse p(text);
        std::vector<std::string> expected = p.ok ? ModelTokens(text) : std::vector<std::string>{};
        EXPECT_EQ(TokenTexts(p.xml), expected) << text;
        if (p.ok) ++parsed;
    }
    EXPECT_GT(parsed, 1000);  // most parse, so the comparison says something
}

TEST(Tokenizer, RunsThatLoseBytesAreMovedTogether) {
    Parse p("<a\r\n>12\r\n34<b\x1F>\x01x\x02y\x03</b>\x0B" "5678901234567890\n</a>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TokenTexts(p.xml), (std::vector<std::string>{"<a", "1234", "<b", "xy", "</b", "5678901234567890", "</a"}));
    EXPECT_EQ(p.xml.DocumentElement()->Value, "5678901234567890");
    EXPECT_EQ(p.xml.DocumentElement()->ChildText("b"), "xy");
}

TEST(Texts, ShortTextsAtTheVeryEndOfTheText) {
    // Fewer than 16 bytes in all, and short tokens in the last 16 bytes.
    Parse tiny("<a>1</a>");
    ASSERT_TRUE(tiny.ok);
    EXPECT_EQ(tiny.xml.DocumentElement()->Value, "1");
    Parse tail("<kel><x>0123456789abcdef</x><y>9</y></kel>");
    ASSERT_TRUE(tail.ok);
    EXPECT_EQ(tail.xml.DocumentElement()->ChildText("x"), "0123456789abcdef");
    EXPECT_EQ(tail.xml.DocumentElement()->ChildText("y"), "9");
}

TEST(Tokenizer, DropsTheDeclarationAndBlankRuns) {
    Parse p("<?xml version=\"1.0\"?>\r\n<a>\r\n  <b> x </b>\t<c>   </c>\n</a>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(TokenTexts(p.xml), (std::vector<std::string>{"<a", "<b", " x ", "</b", "<c", "</c", "</a"}));
    const TElementDocXML* a = p.xml.DocumentElement();
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Name, "a");
    EXPECT_EQ(a->ChildText("b"), " x ");
    EXPECT_EQ(a->ChildText("c"), "");
    EXPECT_EQ(a->Value, "");  // line breaks and blanks between elements vanish
}

TEST(Tokenizer, DropsControlBytesAndKeepsEveryOther) {
    // A tab and a line break vanish, even inside names; DEL (7F), a UTF-8
    // degree sign (C2 B0) and a single-byte one (B0) are kept as they are.
    Parse p("<a>20\xC2\xB0" "C\t\x7F<b>\xB0\x01" "C</b\n></a\n>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.xml.DocumentElement()->Value, "20\xC2\xB0" "C\x7F");
    EXPECT_EQ(p.xml.DocumentElement()->ChildText("b"), "\xB0" "C");
}

TEST(Tokenizer, KeepsLessThanInsideATagAndDropsTheUnfinishedRun) {
    Parse p("<a<b>1</a<b>tail");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.xml.DocumentElement()->Name, "a<b");
    EXPECT_EQ(TokenTexts(p.xml), (std::vector<std::string>{"<a<b", "1", "</a<b"}));
}

TEST(Tokenizer, DeclarationIsDroppedOnlyAmongTheFirstTwoTokens) {
    // Second token: still dropped.
    Parse early("<a><?xml stray?></a>");
    EXPECT_TRUE(early.ok);
    EXPECT_EQ(early.xml.TagCount(), 2u);
    // Third token: stored, it opens an element that is never closed.
    Parse late("<a>x<?xml stray?></a>");
    EXPECT_FALSE(late.ok);
    EXPECT_EQ(late.errors, 1);
}

TEST(Tokenizer, ListGrowsInSteps) {
    std::string text = "<a>";
    for (int i = 0; i < 2000; ++i) text += "<c>1</c>";  // 3 tokens each
    text += "</a>";
    Parse p(text);
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.xml.TagCount(), 6002u);
    EXPECT_EQ(p.xml.Tags().Capacity(), 2 * TTagList::kGrowth);
    EXPECT_EQ(p.xml.DocumentElement()->Children.size(), 2000u);
}

TEST(Tree, DeclarationThenOneElement) {
    Parse p("<?xml version=\"1.0\"?><a>5</a>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.errors, 0);
    EXPECT_EQ(p.xml.DocumentElement()->Name, "a");
    EXPECT_EQ(p.xml.DocumentElement()->Value, "5");
    EXPECT_EQ(p.xml.Root().Name, "");
}

TEST(Tree, TextBeforeTheFirstTagIsStoredButIgnored) {
    Parse p("lead<a>5</a>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.xml.TagCount(), 4u);
    EXPECT_EQ(p.xml.DocumentElement()->Value, "5");
    EXPECT_EQ(p.xml.Root().Value, "");
}

TEST(Tree, LaterValueReplacesEarlierOne) {
    Parse p("<a>first<b>2</b>second</a>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.xml.DocumentElement()->Value, "second");
    EXPECT_EQ(p.xml.DocumentElement()->ChildText("b"), "2");
}

TEST(Tree, SecondTopLevelElementIsIgnored) {
    Parse p("<a>1</a><b>2</b><unclosed>");
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.xml.Root().Children.size(), 1u);
    EXPECT_EQ(p.xml.DocumentElement()->Name, "a");
}

TEST(Tree, NoTagGivesEmptyTreeAndSuccess) {
    Parse p("just text");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.xml.DocumentElement(), nullptr);
    Parse bytes("\x01\x02\xFF");
    EXPECT_TRUE(bytes.ok);
    EXPECT_EQ(bytes.errors, 0);
}

TEST(Tree, LoneSlashClosesTheRoot) {
    Parse p("</><a>1</a>");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.xml.DocumentElement(), nullptr);
}

TEST(Tree, NestedSameNamesCloseInnermostFirst) {
    Parse p("<a><a>in</a>out</a>");
    ASSERT_TRUE(p.ok);
    const TElementDocXML* a = p.xml.DocumentElement();
    EXPECT_EQ(a->Value, "out");
    ASSERT_EQ(a->Children.size(), 1u);
    EXPECT_EQ(a->Children[0].Value, "in");
}

TEST(Failure, MalformedTextsEndEmptyAndRaiseTheEvent) {
    const char* texts[] = {
        "",                      // empty
        "<a>1",                  // never closed
        "<a x=\"1\">1</a>",      // attribute: the end tag does not repeat it
        "<a><b/></a>",           // empty-element tag
        "<a><b>1</c></b>",       // closing tag in the wrong place
        "<a><!-- note --></a>",  // comments are not part of the format
    };
    for (const char* text : texts) {
        Parse p(text);
        EXPECT_FALSE(p.ok) << text;
        EXPECT_EQ(p.errors, 1) << text;
        EXPECT_TRUE(p.senderWasParser) << text;
        EXPECT_EQ(p.xml.DocumentElement(), nullptr) << text;
        EXPECT_EQ(p.xml.TagCount(), 0u) << text;
    }
}

// The result names the byte where the fault lies, counted in the text as
// given, dropped bytes included.
TEST(Failure, NamesTheByteOfTheFault) {
    struct Case {
        std::string text;
        std::size_t offset;
        std::string description;
    } cases[] = {
        {"", 0, "Malformed XML at byte 0: the text is empty"},
        {"<a>1", 0, "Malformed XML at byte 0: the element <a> is never closed"},
        {"<kel>\r\n<Ions>\r\n<Ion>\r\n<c>1</c>", 15, "Malformed XML at byte 15: the element <Ion> is never closed"},
        {"<a><b>1</b></a", 11, "Malformed XML at byte 11: the tag is not closed by \">\""},
        {"<a><b>1</c></b>", 7, "Malformed XML at byte 7: the end tag </c> does not close the open element <b>"},
        {"<a x=\"1\">1</a>", 10, "Malformed XML at byte 10: the end tag </a> does not close the open element <a x=\"1\">"},
        {"</a>", 0, "Malformed XML at byte 0: the end tag </a> closes no element"},
    };
    for (const Case& c : cases) {
        TSimploXML xml;
        TXmlParseResult result = xml.LoadFromString(c.text);
        EXPECT_EQ(result.status, TXMLFailure::Malformed) << c.text;
        EXPECT_EQ(result.offset, c.offset) << c.text;
        EXPECT_EQ(result.description(), c.description) << c.text;
    }
    TSimploXML xml;
    xml.Limits = {100, 2};
    TXmlParseResult tooLarge = xml.LoadFromString("<a><b>1</b><c>2</c></a>");
    EXPECT_EQ(tooLarge.status, TXMLFailure::TooLarge);
    EXPECT_EQ(tooLarge.offset, 11u);
    EXPECT_EQ(xml.LoadFromString("<a>1</a>").description(), "No error");
}

TEST(Failure, WithoutHandlerIsJustFalse) {
    TSimploXML xml;
    EXPECT_EQ(xml.LoadFromString("<a>").status, TXMLFailure::Malformed);
}

// A parse stops as soon as it passes its limits, which are exact: a tree of
// just the allowed size is built.
TEST(Failure, LimitsStopTheParseAsSoonAsTheyArePassed) {
    const std::string text = "<a><b>1</b><b>2</b></a>";  // 3 elements, 8 tokens
    TSimploXML xml;
    int errors = 0;
    xml.OnXMLError = [&](TSimploXML&) { ++errors; };
    xml.Limits = {8, 3};
    ASSERT_TRUE(xml.LoadFromString(text));
    for (TXMLLimits limits : {TXMLLimits{8, 2}, TXMLLimits{7, 3}}) {
        xml.Limits = limits;
        EXPECT_EQ(xml.LoadFromString(text + "tail").status, TXMLFailure::TooLarge);
        EXPECT_EQ(xml.DocumentElement(), nullptr);
        EXPECT_EQ(xml.TagCount(), 0u);
    }
    EXPECT_EQ(errors, 2);
}

TEST(Failure, ReplacesAnEarlierTree) {
    Parse p("<a>1</a>");
    ASSERT_TRUE(p.ok);
    EXPECT_FALSE(p.xml.LoadFromString("<b>"));
    EXPECT_EQ(p.xml.DocumentElement(), nullptr);
    EXPECT_TRUE(p.xml.LoadFromString("<c>3</c>"));
    EXPECT_EQ(p.xml.DocumentElement()->Name, "c");
}

TEST(Depth, DeepNestingNeedsNoDeepStack) {
    constexpr int kDepth = 300000;
    std::string open, close;
    for (int i = 0; i < kDepth; ++i) {
        open += "<e>";
        close += "</e>";
    }
    Parse closed(open + "v" + close);
    ASSERT_TRUE(closed.ok);
    const TElementDocXML* e = closed.xml.DocumentElement();
    int depth = 1;
    while (e->FirstChild()) {
        e = e->FirstChild();
        ++depth;
    }
    EXPECT_EQ(depth, kDepth);
    EXPECT_EQ(e->Value, "v");
    // Unclosed: the whole chain is dismantled on failure.
    Parse unclosed(open);
    EXPECT_FALSE(unclosed.ok);
}

TEST(Clear, EmptiesTreeAndTokens) {
    Parse p("<a><b>1</b></a>");
    ASSERT_TRUE(p.ok);
    p.xml.Clear();
    EXPECT_EQ(p.xml.DocumentElement(), nullptr);
    EXPECT_EQ(p.xml.TagCount(), 0u);
    EXPECT_EQ(p.xml.Tags().Capacity(), 0u);
}

TEST(Lookups, ChildIntPassesOverValuesThatDoNotConvert) {
    Parse p("<a><n>x</n><n>7</n><n>8</n><m>y</m><big>99999999999</big></a>");
    ASSERT_TRUE(p.ok);
    const TElementDocXML* a = p.xml.DocumentElement();
    EXPECT_EQ(a->ChildInt("n"), 7);
    EXPECT_EQ(a->ChildInt("m"), 0);
    EXPECT_EQ(a->ChildInt("missing"), 0);
    EXPECT_EQ(a->ChildInt("big"), 0);
    Parse huge("<a><n>588888888888888888888888888888</n><n>3</n></a>");  // no overflow on the way
    EXPECT_EQ(huge.xml.DocumentElement()->ChildInt("n"), 3);
    EXPECT_EQ(a->ChildText("n"), "x");
}

TEST(Lookups, ChildFloatUsesPointAndExponent) {
    Parse p("<a><f>1,5</f><f> 2.5e3 </f><g>-0.125</g></a>");
    ASSERT_TRUE(p.ok);
    const TElementDocXML* a = p.xml.DocumentElement();
    EXPECT_EQ(a->ChildFloat("f", 150), 2500.0);
    EXPECT_EQ(a->ChildFloat("g", 150), -0.125);
    EXPECT_EQ(a->ChildFloat("missing", 150), 150.0);
}

TEST(Lookups, NamesAreExactAndCaseSensitive) {
    Parse p("<a><Ion>1</Ion><ion>2</ion><ion>3</ion><ions>4</ions></a>");
    ASSERT_TRUE(p.ok);
    const TElementDocXML* a = p.xml.DocumentElement();
    auto found = a->FindChildren("ion");
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]->Value, "2");
    EXPECT_EQ(found[1]->Value, "3");
    EXPECT_EQ(a->FindChild("Ion")->Value, "1");
    EXPECT_EQ(a->FindChild("ION"), nullptr);
}

TEST(Texts, LongAndShortTextsSurviveRegrowthOfTheirLists) {
    std::string text = "<a>";
    for (int i = 0; i < 100; ++i) text += "<v" + std::to_string(i) + ">" + std::string(i, 'x') + "</v" + std::to_string(i) + ">";
    Parse p(text + "</a>");
    ASSERT_TRUE(p.ok);
    const TBlockDocXML& children = p.xml.DocumentElement()->Children;
    ASSERT_EQ(children.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(children[static_cast<std::size_t>(i)].Value, std::string(static_cast<std::size_t>(i), 'x'));
        EXPECT_EQ(children[static_cast<std::size_t>(i)].Name, "v" + std::to_string(i));
    }
}

TEST(Texts, AssignReplacesAndReleases) {
    TXMLText t;
    EXPECT_TRUE(t.empty());
    t = std::string(40, 'a');
    EXPECT_EQ(t.size(), 40u);
    t = "b";
    EXPECT_EQ(t, "b");
    TXMLText u(std::move(t));
    EXPECT_EQ(u, "b");
    EXPECT_TRUE(t.empty());  // NOLINT(bugprone-use-after-move): a moved-from text is empty
    u = std::string(20, 'c');
    t = std::move(u);
    EXPECT_EQ(t, std::string(20, 'c'));
}

TEST(Texts, ChildListsGrowMoveAndReserve) {
    TElementDocXML list("list");
    list.Children.reserve(3);
    for (int i = 0; i < 40; ++i) {
        TElementDocXML& child = list.AddChild("c" + std::to_string(i));
        child.Value = std::string(static_cast<std::size_t>(i), 'v');
        child.AddChild("leaf").Value = std::to_string(i);
    }
    ASSERT_EQ(list.Children.size(), 40u);
    TBlockDocXML moved = std::move(list.Children);
    EXPECT_TRUE(list.Children.empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty
    EXPECT_EQ(list.FirstChild(), nullptr);
    ASSERT_EQ(moved.size(), 40u);
    for (std::size_t i = 0; i < moved.size(); ++i) {
        EXPECT_EQ(moved[i].Name, "c" + std::to_string(i));
        EXPECT_EQ(moved[i].Value, std::string(i, 'v'));
        EXPECT_EQ(moved[i].ChildText("leaf"), std::to_string(i));
    }
    moved = TBlockDocXML();  // the old children and their own are freed
    EXPECT_TRUE(moved.empty());
}

// What the full conversion makes of a text, or nullopt where it refuses.
std::optional<std::int32_t> FullRules(std::string_view text) {
    try {
        return TextToInt(text);
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

TEST(Texts, PlainIntegersAgreeWithTheFullConversion) {
    const char* plain[] = {"0", "-0", "7", "-7", "00000000", "12345678", "-12345678", "99999999", "-99999999",
                           "1000000", "0000001", "-00", "42"};
    for (const char* text : plain) {
        std::int32_t value = -1;
        EXPECT_TRUE(TXMLText(text).PlainInteger(value)) << text;
        EXPECT_EQ(std::optional<std::int32_t>(value), FullRules(text)) << text;
    }
    // Not the plain form: left to the full rules, which take some of them.
    const char* other[] = {"", "-", "--1", "+5", " 12", "12 ", "1a", "a1", "1/", "1:", "/", ":", "12-3",
                           "123456789", "-123456789", "2147483648", "99999999999999999999", "1\x7F", "\x80" "1",
                           "1\xB9", "\xB0", "1.5", "1e3", "0x10"};
    for (const char* text : other) {
        std::int32_t value = -1;
        EXPECT_FALSE(TXMLText(text).PlainInteger(value)) << text;
        EXPECT_EQ(value, -1) << text;
    }
}

TEST(Texts, PlainIntegersAgreeOnEveryShortMixOfCharacters) {
    const char alphabet[] = {'0', '1', '5', '9', '-', '+', ' ', '/', ':', 'a', '\x7F', '\x80', '\xB9'};
    std::uint32_t x = 99;
    int plainTexts = 0;
    for (int n = 0; n < 20000; ++n) {
        x = x * 1103515245u + 12345u;
        std::size_t length = (x >> 16) % 11;
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            x = x * 1103515245u + 12345u;
            // Mostly digits, so that many texts are plain.
            std::size_t pick = (x >> 16) % (2 * sizeof alphabet);
            text += pick < sizeof alphabet ? alphabet[pick] : static_cast<char>('0' + pick % 10);
        }
        TXMLText value(text);
        std::int32_t plain = 0;
        if (value.PlainInteger(plain)) {
            EXPECT_EQ(std::optional<std::int32_t>(plain), FullRules(text)) << text;
            ++plainTexts;
        }
        // A text that reads as a number after it was long, and garbage behind a short one, change nothing.
        TXMLText reused(std::string(30, '9'));
        reused = "1234567890123";
        reused = text;
        std::int32_t again = 0;
        EXPECT_EQ(reused.PlainInteger(again), value.PlainInteger(plain)) << text;
        EXPECT_EQ(again, plain) << text;
    }
    EXPECT_GT(plainTexts, 2000);  // enough plain texts for the comparison to say something
}

TEST(Texts, LongTextsAreNeverPlainIntegers) {
    std::int32_t value = 0;
    EXPECT_FALSE(TXMLText(std::string(20, '1')).PlainInteger(value));
    EXPECT_FALSE(TXMLText("-" + std::string(14, '0')).PlainInteger(value));
}

TEST(Lookups, AddChildAppendsAnEmptyElement) {
    TElementDocXML e("list");
    e.AddChild("x").Value = "1";
    TElementDocXML& y = e.AddChild("y");
    EXPECT_EQ(y.Name, "y");
    EXPECT_TRUE(y.Value.empty());
    EXPECT_TRUE(y.Children.empty());
    ASSERT_EQ(e.Children.size(), 2u);
    EXPECT_EQ(e.FirstChild()->Value, "1");
}

}  // namespace
}  // namespace kel
