// The strict JSON reader: what it takes back exactly, and the malformed or
// oversized text it refuses with a reason instead of reading on.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>

#include "common/Json.h"
#include "common/JsonRead.h"

namespace kel {
namespace {

TEST(JsonRead, WrittenNumbersAndTextsReadBackExactly) {
    const double numbers[] = {0.1, -2.5e-8, 1.0 / 3.0, 5e-324, 1.7976931348623157e308, 300, -0.0};
    const std::string texts[] = {"plain", "quote \" back \\ slash", "tab\tline\nfeed", "caf\xc3\xa9 \xe2\x82\xac",
                                 std::string("\x01\x1f", 2)};
    JsonWriter json;
    json.BeginObject();
    json.BeginArray("numbers");
    for (double x : numbers) json.Element(x);
    json.EndArray();
    json.BeginArray("texts");
    for (const std::string& t : texts) json.Element(t);
    json.EndArray();
    json.Bool("yes", true);
    json.Null("none");
    json.EndObject();

    const TJsonValue read = ParseJson(" \n" + json.Text() + "\r\n");
    ASSERT_EQ(read.kind, TJsonValue::TKind::Object);
    const TJsonValue* n = read.Member("numbers");
    ASSERT_TRUE(n && n->items.size() == std::size(numbers));
    for (std::size_t i = 0; i < std::size(numbers); ++i) EXPECT_EQ(n->items[i].number, numbers[i]) << i;
    EXPECT_TRUE(std::signbit(n->items.back().number));
    const TJsonValue* t = read.Member("texts");
    ASSERT_TRUE(t && t->items.size() == std::size(texts));
    for (std::size_t i = 0; i < std::size(texts); ++i) EXPECT_EQ(t->items[i].text, texts[i]) << i;
    EXPECT_TRUE(read.Member("yes")->boolean);
    EXPECT_EQ(read.Member("none")->kind, TJsonValue::TKind::Null);
    EXPECT_EQ(read.Member("absent"), nullptr);
    // Escapes of the whole range, a surrogate pair among them.
    EXPECT_EQ(ParseJson(R"("\u00e9\u20ac\ud83d\ude00\/")").text, "\xc3\xa9\xe2\x82\xac\xf0\x9f\x98\x80/");
}

TEST(JsonRead, MalformedAndOversizedTextIsRefusedWithItsReason) {
    const struct {
        std::string text, reason;
    } refused[] = {
        {"", "a value is missing"},
        {"{\"a\":1,}", "a key is missing"},
        {"[1 2]", "',' or ']' is missing"},
        {"{\"a\" 1}", "':' is missing"},
        {"{\"a\":1,\"a\":2}", "appears twice"},
        {"01", "leading zero"},
        {"1.", "after its point"},
        {"1e", "exponent"},
        {".5", "no value of JSON"},
        {"+1", "no value of JSON"},
        {"NaN", "no value of JSON"},
        {"Infinity", "no value of JSON"},
        {"1e400", "beyond the range"},
        {"1 2", "after the end"},
        {"\"open", "not closed"},
        {"\"a\tb\"", "control character"},
        {"\"\\x\"", "unknown escape"},
        {"\"\\u12zz\"", "hexadecimal"},
        {"\"\\u12\"", "cut short"},
        {"\"\\udc00\"", "lone low surrogate"},
        {"\"\\ud800x\"", "without its low one"},
        {"\"\\u0000\"", "NUL"},
        {"\"\xc3\x28\"", "not UTF-8"},
        {"tru", "no value of JSON"},
        {std::string(33, '[') + std::string(33, ']'), "nested too deeply"},
    };
    for (const auto& r : refused) {
        try {
            ParseJson(r.text);
            ADD_FAILURE() << "taken: " << r.text;
        } catch (const EJsonError& error) {
            EXPECT_NE(std::string(error.what()).find(r.reason), std::string::npos) << r.text << ": " << error.what();
            EXPECT_NE(std::string(error.what()).find("at byte"), std::string::npos) << error.what();
        }
    }
    TJsonLimits small;
    small.values = 3;
    small.textBytes = 4;
    EXPECT_NO_THROW(ParseJson("[1,2]", small));
    EXPECT_THROW(ParseJson("[1,2,3]", small), EJsonError);
    EXPECT_NO_THROW(ParseJson("\"abcd\"", small));
    EXPECT_THROW(ParseJson("\"abcde\"", small), EJsonError);
    // As deep as allowed is still read.
    EXPECT_NO_THROW(ParseJson(std::string(32, '[') + std::string(32, ']')));
}

}  // namespace
}  // namespace kel
