// Elements whose descendants the reader never reads keep none of them, yet
// a text fails or passes exactly as when the whole tree is built: the same
// fault at the same byte, the same limit, and the same tree otherwise.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "xml/SciXML.h"

namespace kel {
namespace {

// The tree as text; below an element named "U" nothing when `cutUnread`.
void Shape(const TElementDocXML& e, bool cutUnread, std::string& out) {
    out += "<" + e.Name.str() + ">" + e.Value.str();
    if (!cutUnread || e.Name != "U")
        for (const TElementDocXML& child : e.Children) Shape(child, cutUnread, out);
    out += "</>";
}

struct Parsed {
    TXmlParseResult result;
    std::string shape;
    std::size_t asked = 0;  // elements the reader was asked about
};

// With `unread`, every "U" the parser asks about is declared unread and the
// tree is shown as it is; without, the whole tree is built and shown
// without what lies below each "U". Elements named "L" are lists either way.
Parsed ParseText(const std::string& text, bool unread, const TXMLLimits& limits = {}) {
    TSimploXML xml;
    xml.Limits = limits;
    std::vector<TXMLIntegerList> lists(64);
    std::size_t chosen = 0;
    xml.IntegerLists = [&](TXMLOpenElements, const TElementDocXML& element) -> TXMLIntegerList* {
        if (element.Name != "L" || chosen == lists.size()) return nullptr;
        return &lists[chosen++];
    };
    Parsed parsed;
    if (unread)
        xml.UnreadChildren = [&](TXMLOpenElements open, const TElementDocXML& element) {
            EXPECT_EQ(open.front(), &xml.Root());
            EXPECT_NE(element.Name, "L") << "a list is not asked about";
            for (const TElementDocXML* around : open) EXPECT_NE(around->Name, "U") << "nor what lies below one";
            ++parsed.asked;
            return element.Name == "U";
        };
    parsed.result = xml.LoadFromString(text);
    if (const TElementDocXML* document = xml.DocumentElement()) Shape(*document, !unread, parsed.shape);
    return parsed;
}

void ExpectSame(const Parsed& unread, const Parsed& tree, const std::string& text) {
    EXPECT_EQ(unread.result.status, tree.result.status) << text;
    EXPECT_EQ(unread.result.offset, tree.result.offset) << text;
    EXPECT_EQ(unread.result.reason, tree.result.reason) << text;
    EXPECT_EQ(unread.shape, tree.shape) << text;
}

// Unread subtrees of many shapes, whole or damaged, among read elements,
// lists and the values of the unread elements themselves.
std::vector<std::string> Texts() {
    const std::vector<std::string> inside = {
        "",
        "v",
        "<a>1</a>",
        "v<a>1</a>w",
        "<a><b><c>2</c></b></a>x",
        "<U><a>1</a>u</U>y",
        "<L><c>1</c><c>2</c></L>",
        "<a>1</a><a>2</a><a>3</a><a>4</a><a>5</a><a>6</a>",
        "<a>1</b>",
        "<a>1</a></b>",
        "<a><b>1</a></b>",
        "<a>1",
        "<a",
        "</a>",
        "<abcdefghijklmnopqrstuvwxyz>1</abcdefghijklmnopqrstuvwxyz>",
        "<a><b><c><d><e><f>deep</f></e></d></c></b></a>",
        "<a>1<a>2<a>3</a></a></a>",
        "\r\n<a>\t1</a>\r\n",
    };
    std::vector<std::string> texts;
    for (const std::string& body : inside) {
        texts.push_back("<?xml version=\"1.0\"?><doc><h>1</h><U>" + body + "</U><k>2</k><L><c>3</c></L></doc>");
        texts.push_back("<doc><r><U>" + body + "</U><U>u</U></r><h>" + body + "</h></doc>");
        texts.push_back("<doc><U>" + body + "</U>");
        texts.push_back("<U>" + body + "</U>");
    }
    return texts;
}

TEST(UnreadChildren, FailAndReadExactlyAsTheWholeTree) {
    for (const std::string& text : Texts()) {
        Parsed unread = ParseText(text, true);
        ExpectSame(unread, ParseText(text, false), text);
        EXPECT_GT(unread.asked, 0u) << text;
    }
}

TEST(UnreadChildren, PassLimitsExactlyAsTheWholeTree) {
    // Wide and deep unread subtrees between read elements, so that each
    // limit is passed inside one, outside one, or not at all.
    std::string wide;
    for (int i = 0; i < 20; ++i) wide += "<a>" + std::to_string(i) + "</a>";
    const std::string text = "<doc><h>1</h><U>" + wide + "<a><b><c>1</c></b></a></U><k>" + wide +
                             "</k><U>w<U>" + wide + "</U></U><L>" + wide + "</L></doc>";
    for (std::size_t limit = 0; limit < 250; ++limit) {
        TXMLLimits tokens, elements, children, depth, tagLength;
        tokens.tokens = limit;
        elements.elements = limit / 2;
        children.children = limit / 8;
        depth.depth = limit % 7;
        tagLength.tagLength = limit % 6;
        for (const TXMLLimits& limits : {tokens, elements, children, depth, tagLength})
            ExpectSame(ParseText(text, true, limits), ParseText(text, false, limits), text);
    }
}

}  // namespace
}  // namespace kel
