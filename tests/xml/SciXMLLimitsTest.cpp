// The parser's limits on depth, children and tag length: exact, and a
// runaway tag is refused before its ">" is ever found.
#include <gtest/gtest.h>

#include <string>

#include "xml/SciXML.h"

namespace kel {
namespace {

TXMLLimits Only(std::size_t depth, std::size_t children, std::size_t tagLength) {
    TXMLLimits limits;
    limits.depth = depth;
    limits.children = children;
    limits.tagLength = tagLength;
    return limits;
}

TEST(Limits, DepthChildrenAndTagLengthAreExact) {
    struct Case {
        std::string text;
        TXMLLimits fits, passed;
        std::size_t offset;
        std::string reason;
    };
    const Case cases[] = {
        {"<a><b><c>1</c></b></a>", Only(3, 9, 9), Only(2, 9, 9), 6, "the element <c> is nested deeper than 2 elements"},
        {"<a><b></b><b></b><b></b></a>", Only(9, 3, 9), Only(9, 2, 9), 17, "the element <a> has more than 2 children"},
        {"<abc>1</abc>", Only(9, 9, 4), Only(9, 9, 3), 6, "the tag </abc> is longer than 3 characters"},
    };
    for (const Case& c : cases) {
        TSimploXML xml;
        xml.Limits = c.fits;
        EXPECT_TRUE(xml.LoadFromString(c.text)) << c.text;
        xml.Limits = c.passed;
        TXmlParseResult result = xml.LoadFromString(c.text + "</a>");
        EXPECT_EQ(result.status, TXMLFailure::TooLarge) << c.text;
        EXPECT_EQ(result.offset, c.offset) << c.text;
        EXPECT_EQ(result.reason, c.reason) << c.text;
        EXPECT_EQ(xml.DocumentElement(), nullptr);
    }
}

// A tag of megabytes, never closed, nor holding a byte the tokenizer stops
// at, is refused at its "<" with a short message; a long declaration is
// still dropped, as it was.
TEST(Limits, ARunawayTagIsRefusedAtItsStart) {
    TSimploXML xml;
    xml.Limits.tagLength = 14;
    std::string name(std::size_t{4} << 20, 'n');
    TXmlParseResult result = xml.LoadFromString("<kel><" + name);
    EXPECT_EQ(result.status, TXMLFailure::TooLarge);
    EXPECT_EQ(result.offset, 5u);
    EXPECT_EQ(result.description(),
              "XML text past its limits at byte 5: the tag <" + name.substr(0, 24) + "...> is longer than 14 characters");

    std::string attributes = "<kel";
    for (int i = 0; i < 100000; ++i) attributes += " a=\"1\"";
    EXPECT_EQ(xml.LoadFromString(attributes + "></kel>").status, TXMLFailure::TooLarge);

    ASSERT_TRUE(xml.LoadFromString("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?><kel>1</kel>"));
    EXPECT_EQ(xml.DocumentElement()->Value, "1");
}

}  // namespace
}  // namespace kel
