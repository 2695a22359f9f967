#pragma once
// A strict reader of JSON text for files the program reads back: anything
// but well-formed JSON within the reader's limits is refused with a reason.
#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel {

// JSON text refused: the reason and where, "at byte N".
class EJsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TJsonMember;

struct TJsonValue {
    enum class TKind { Null, Bool, Number, String, Array, Object };
    TKind kind = TKind::Null;
    bool boolean = false;
    double number = 0;  // always finite
    std::string text;   // valid UTF-8
    std::vector<TJsonValue> items;
    // Not std::pair, which needs its parts complete where a value is declared.
    std::vector<TJsonMember> members;  // keys unique, in the text's order

    // The member named key of an object; null when there is none.
    const TJsonValue* Member(std::string_view key) const;
};

struct TJsonMember {
    std::string name;
    TJsonValue value;
};

struct TJsonLimits {
    int depth = 32;                   // arrays and objects inside one another
    std::size_t values = 100000;      // values of every kind in the text
    std::size_t textBytes = 1 << 16;  // bytes of one string, escapes decoded
};

// Reads text as exactly one JSON value (whitespace around it allowed);
// raises EJsonError for malformed text, a duplicate key, a string that is not
// UTF-8, a number out of the range of double, or text beyond limits.
TJsonValue ParseJson(std::string_view text, const TJsonLimits& limits = {});

}  // namespace kel
