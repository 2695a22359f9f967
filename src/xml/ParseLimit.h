#pragma once
// What the parser's entry point and its tokenizer share about a parse that
// passes its limits.
#include <cstddef>
#include <string>
#include <string_view>

namespace kel::xmlparse {

// Thrown inside a parse that passes its limits, at the byte where it did,
// with the limit it passed.
struct TLimitPassed {
    std::size_t offset;
    std::string what;
};

// A tag as a message shows it: a hostile name may be megabytes long.
std::string ShownTag(std::string_view tag);

}  // namespace kel::xmlparse
