// Lists read as integers while the text is tokenized must say exactly what
// the tree says of the same elements: the same entries, values and first
// non-integer, the same tree around them, and the same failures and limits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "xml/SciXML.h"

namespace kel {
namespace {

// What a list element's children say when read from the tree.
TXMLIntegerList FromTree(const TElementDocXML& list) {
    TXMLIntegerList read;
    read.entries = list.Children.size();
    for (const TElementDocXML& child : list.Children) {
        try {
            read.values.push_back(TextToInt(child.Value));
        } catch (const EConvertError&) {
            read.notInteger = child.Value.str();
            break;
        }
    }
    return read;
}

// The tree as text, each "L" element's children left out.
void Shape(const TElementDocXML& e, std::string& out) {
    out += "<" + e.Name.str() + ">" + e.Value.str();
    if (e.Name != "L")
        for (const TElementDocXML& child : e.Children) Shape(child, out);
    out += "</>";
}

void TreeLists(const TElementDocXML& e, std::vector<TXMLIntegerList>& out) {
    if (e.Name == "L") out.push_back(FromTree(e));
    for (const TElementDocXML& child : e.Children)
        if (e.Name != "L") TreeLists(child, out);
}

struct Parsed {
    TXmlParseResult result;
    std::string shape;
    std::vector<TXMLIntegerList> lists;
    std::size_t tokens = 0;
};

// Every element named "L" outside another becomes a list (withLists), or
// the same is read from the whole tree.
Parsed ParseText(const std::string& text, bool withLists, const TXMLLimits& limits = {}) {
    TSimploXML xml;
    xml.Limits = limits;
    std::vector<TXMLIntegerList> lists(64);
    std::size_t chosen = 0;
    if (withLists) {
        xml.KeepTokens = false;
        xml.IntegerLists = [&](TXMLOpenElements open, const TElementDocXML& element) -> TXMLIntegerList* {
            EXPECT_EQ(open.front(), &xml.Root());
            if (element.Name != "L" || chosen == lists.size()) return nullptr;
            lists[chosen].entries = 99;  // the parser starts every list afresh
            return &lists[chosen++];
        };
    }
    Parsed parsed;
    parsed.result = xml.LoadFromString(text);
    parsed.tokens = xml.TagCount();
    if (const TElementDocXML* document = xml.DocumentElement()) Shape(*document, parsed.shape);
    if (withLists) {
        lists.resize(chosen);
        parsed.lists = lists;
    } else if (const TElementDocXML* document = xml.DocumentElement()) {
        TreeLists(*document, parsed.lists);
    }
    return parsed;
}

void ExpectSame(const Parsed& lists, const Parsed& tree, const std::string& text) {
    EXPECT_EQ(lists.result.status, tree.result.status) << text;
    EXPECT_EQ(lists.result.offset, tree.result.offset) << text;
    EXPECT_EQ(lists.result.reason, tree.result.reason) << text;
    EXPECT_EQ(lists.shape, tree.shape) << text;
    if (!tree.result) return;
    ASSERT_EQ(lists.lists.size(), tree.lists.size()) << text;
    for (std::size_t i = 0; i < tree.lists.size(); ++i) {
        EXPECT_EQ(lists.lists[i].entries, tree.lists[i].entries) << text << " list " << i;
        EXPECT_EQ(lists.lists[i].values, tree.lists[i].values) << text << " list " << i;
        EXPECT_EQ(lists.lists[i].notInteger, tree.lists[i].notInteger) << text << " list " << i;
    }
}

// Entries of many shapes, each wrapped in enough ordinary entries that it
// is met both after entries taken whole and near chunk borders.
std::vector<std::string> Texts() {
    const std::vector<std::string> odd = {
        "<c>7</c>",          "<c>-12345678</c>",  "<c>123456789</c>",     "<c>2147483648</c>",
        "<c> 5</c>",         "<c>5 </c>",         "<c>   </c>",           "<c></c>",
        "<c>+7</c>",         "<c>x</c>",          "<c>1.5</c>",           "<c>1<x>9</x>2</c>",
        "<c><x>9</x></c>",   "<c>1\r\n2</c>",     "\r\n<c>3</c>\r\n",     "<c\t>4</c>",
        "<d>5</d>",          "<cc>6</cc>",        "<c>7</cc></c>",        "<abcdefghijklmn>8</abcdefghijklmn>",
        "<abcdefghijklmno>9</abcdefghijklmno>",   "<c>12345678901234567</c>",
        "<c>1>2</c>",        "<c>\xC3\xA9</c>",   "<c>0000000000000001</c>", "<L><c>1</c></L>",
        "<c>1</ c>",         "< c>1</c>",         "<c>1</c >",            "<c>-</c>",
    };
    std::string plain;
    for (int i = 0; i < 40; ++i) plain += "<c>" + std::to_string(i * 7919 % 100003) + "</c>";
    std::vector<std::string> texts;
    for (const std::string& entry : odd)
        for (std::size_t shift = 0; shift < 9; shift += 4) {
            std::string pad(shift, ' ');
            texts.push_back("<?xml version=\"1.0\"?><doc><h>1</h><L>" + pad + plain + entry + plain + "</L>\r\n<L>" +
                            entry + "</L><k>" + entry + "</k></doc>");
            texts.push_back("<doc><L>" + plain + entry + "</L></doc>");
        }
    return texts;
}

TEST(IntegerLists, SayWhatTheTreeSaysOfTheSameElements) {
    for (const std::string& text : Texts()) ExpectSame(ParseText(text, true), ParseText(text, false), text);
}

TEST(IntegerLists, FailAndPassLimitsExactlyAsTheTree) {
    // Damaged texts end alike: an entry or a list never closed, stray end tags.
    std::string plain;
    for (int i = 0; i < 30; ++i) plain += "<c>" + std::to_string(i) + "</c>";
    for (const std::string& text :
         {"<doc><L>" + plain + "<c>1</c", "<doc><L>" + plain + "<c>1</d>" + plain + "</L></doc>",
          "<doc><L>" + plain + "</doc>", "<doc><L>" + plain + "<c>1" + plain + "</L></doc>"})
        ExpectSame(ParseText(text, true), ParseText(text, false), text);

    const std::string text = Texts()[0];
    for (std::size_t limit = 1; limit < 400; limit += 3) {
        TXMLLimits tokens, elements, children, depth, tagLength;
        tokens.tokens = limit;
        elements.elements = limit / 3;
        children.children = limit / 6;
        depth.depth = limit % 5;
        tagLength.tagLength = limit % 20;
        for (const TXMLLimits& limits : {tokens, elements, children, depth, tagLength})
            ExpectSame(ParseText(text, true, limits), ParseText(text, false, limits), text);
    }
}

TEST(IntegerLists, KeptTokensAreTheSameWhetherListsAreReadOrNot) {
    const std::string text = Texts()[2];
    TSimploXML tree, lists;
    TXMLIntegerList list;
    lists.IntegerLists = [&](TXMLOpenElements, const TElementDocXML& e) { return e.Name == "L" ? &list : nullptr; };
    ASSERT_TRUE(tree.LoadFromString(text));
    ASSERT_TRUE(lists.LoadFromString(text));
    ASSERT_EQ(lists.TagCount(), tree.TagCount());
    for (std::size_t i = 0; i < tree.TagCount(); ++i) {
        EXPECT_EQ(lists.Tags()[i].IsTag, tree.Tags()[i].IsTag) << i;
        EXPECT_EQ(lists.Tags()[i].Text, tree.Tags()[i].Text) << i;
    }
    EXPECT_EQ(ParseText(text, true).tokens, 0u) << "without KeepTokens none is kept";
}

}  // namespace
}  // namespace kel
