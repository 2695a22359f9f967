#include "common/JsonRead.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "common/TextEncoding.h"

namespace kel {

const TJsonValue* TJsonValue::Member(std::string_view key) const {
    for (const auto& [name, value] : members)
        if (name == key) return &value;
    return nullptr;
}

namespace {

class Reader {
public:
    Reader(std::string_view text, const TJsonLimits& limits) : text_(text), limits_(limits) {}

    TJsonValue Document() {
        TJsonValue value = Value(0);
        SkipSpace();
        if (at_ != text_.size()) Fail("text after the end of the value");
        return value;
    }

private:
    [[noreturn]] void Fail(const std::string& reason) const {
        throw EJsonError(reason + " at byte " + std::to_string(at_));
    }

    void SkipSpace() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
            ++at_;
    }

    bool Take(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) return false;
        at_ += word.size();
        return true;
    }

    TJsonValue Value(int depth) {
        if (++values_ > limits_.values) Fail("more values than the reader takes");
        SkipSpace();
        if (at_ >= text_.size()) Fail("a value is missing");
        TJsonValue value;
        const char c = text_[at_];
        if (c == '{' || c == '[') {
            if (depth >= limits_.depth) Fail("arrays or objects nested too deeply");
            return c == '{' ? Object(depth + 1) : Array(depth + 1);
        }
        if (c == '"') {
            value.kind = TJsonValue::TKind::String;
            value.text = String();
        } else if (Take("true")) {
            value.kind = TJsonValue::TKind::Bool;
            value.boolean = true;
        } else if (Take("false")) {
            value.kind = TJsonValue::TKind::Bool;
        } else if (Take("null")) {
            value.kind = TJsonValue::TKind::Null;
        } else {
            value.kind = TJsonValue::TKind::Number;
            value.number = Number();
        }
        return value;
    }

    TJsonValue Object(int depth) {
        TJsonValue value;
        value.kind = TJsonValue::TKind::Object;
        ++at_;
        SkipSpace();
        if (Take("}")) return value;
        for (;;) {
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != '"') Fail("a key is missing");
            std::string key = String();
            if (value.Member(key)) Fail("the key \"" + key + "\" appears twice");
            SkipSpace();
            if (!Take(":")) Fail("':' is missing");
            TJsonValue member = Value(depth);
            value.members.push_back({std::move(key), std::move(member)});
            SkipSpace();
            if (Take("}")) return value;
            if (!Take(",")) Fail("',' or '}' is missing");
        }
    }

    TJsonValue Array(int depth) {
        TJsonValue value;
        value.kind = TJsonValue::TKind::Array;
        ++at_;
        SkipSpace();
        if (Take("]")) return value;
        for (;;) {
            value.items.push_back(Value(depth));
            SkipSpace();
            if (Take("]")) return value;
            if (!Take(",")) Fail("',' or ']' is missing");
        }
    }

    unsigned Hex4() {
        if (at_ + 4 > text_.size()) Fail("a \\u escape is cut short");
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[at_++];
            code <<= 4;
            if (c >= '0' && c <= '9') code |= static_cast<unsigned>(c - '0');
            else if (c >= 'a' && c <= 'f') code |= static_cast<unsigned>(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F') code |= static_cast<unsigned>(c - 'A' + 10);
            else Fail("a \\u escape holds no hexadecimal number");
        }
        return code;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::string String() {
        ++at_;  // the opening quote
        std::string out;
        for (;;) {
            if (at_ >= text_.size()) Fail("a string is not closed");
            if (out.size() > limits_.textBytes) Fail("a string longer than the reader takes");
            const char c = text_[at_++];
            if (c == '"') break;
            if (static_cast<unsigned char>(c) < 0x20) Fail("a control character in a string");
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_ >= text_.size()) Fail("an escape is cut short");
            const char e = text_[at_++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    unsigned code = Hex4();
                    if (code >= 0xDC00 && code <= 0xDFFF) Fail("a lone low surrogate");
                    if (code >= 0xD800 && code <= 0xDBFF) {
                        if (!Take("\\u")) Fail("a high surrogate without its low one");
                        const unsigned low = Hex4();
                        if (low < 0xDC00 || low > 0xDFFF) Fail("a high surrogate without its low one");
                        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                    }
                    if (code == 0) Fail("a NUL character in a string");
                    AppendUtf8(out, code);
                    break;
                }
                default:
                    Fail(std::string("an unknown escape \\") + e);
            }
        }
        if (out.size() > limits_.textBytes) Fail("a string longer than the reader takes");
        if (!IsValidUtf8(out)) Fail("a string that is not UTF-8");
        return out;
    }

    double Number() {
        // The grammar first: from_chars alone takes forms JSON does not.
        const std::size_t start = at_;
        const auto digits = [this] {
            const std::size_t from = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
            return at_ - from;
        };
        if (at_ < text_.size() && text_[at_] == '-') ++at_;
        const std::size_t intStart = at_;
        const std::size_t intDigits = digits();
        if (intDigits == 0) Fail("no value of JSON");
        if (intDigits > 1 && text_[intStart] == '0') Fail("a number with a leading zero");
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (digits() == 0) Fail("a number without digits after its point");
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (digits() == 0) Fail("a number without digits in its exponent");
        }
        double x = 0;
        const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + at_, x);
        if (error == std::errc::result_out_of_range || !std::isfinite(x)) Fail("a number beyond the range of double");
        if (error != std::errc() || end != text_.data() + at_) Fail("a number that cannot be read");
        return x;
    }

    std::string_view text_;
    TJsonLimits limits_;
    std::size_t at_ = 0;
    std::size_t values_ = 0;
};

}  // namespace

TJsonValue ParseJson(std::string_view text, const TJsonLimits& limits) { return Reader(text, limits).Document(); }

}  // namespace kel
