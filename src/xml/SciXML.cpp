#include "xml/SciXML.h"

#include <algorithm>
#include <bit>
#include <exception>
#include <limits>
#include <new>
#include <ostream>
#include <stdexcept>

#include "common/Errors.h"
#include "common/NumberText.h"

namespace kel {

namespace {

// Token offsets and lengths are kept in 31/32 bits.
constexpr std::size_t kLargestText = std::numeric_limits<std::int32_t>::max();
// A declaration with version, encoding and standalone fits many times over.
constexpr std::size_t kLongestDeclaration = 256;

bool IsBlankOnly(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

void TTagList::Clear() {
    blocks_.clear();
    count_ = 0;
    next_ = end_ = nullptr;
    std::string().swap(text_);
}

void TXMLText::assign(std::string_view text) {
    Release();
    std::size_t n = text.size();
    if (n < kTag) {
        // Two fixed-size, possibly overlapping copies instead of a call per
        // name and count; never reads outside the text.
        const char* from = text.data();
        if (n >= 8) {
            std::memcpy(bytes_, from, 8);
            std::memcpy(bytes_ + n - 8, from + n - 8, 8);
        } else if (n >= 4) {
            std::memcpy(bytes_, from, 4);
            std::memcpy(bytes_ + n - 4, from + n - 4, 4);
        } else if (n >= 2) {
            std::memcpy(bytes_, from, 2);
            std::memcpy(bytes_ + n - 2, from + n - 2, 2);
        } else if (n == 1) {
            bytes_[0] = from[0];
        }
        bytes_[kTag] = static_cast<char>(n);
        return;
    }
    char* data = new char[text.size()];
    std::memcpy(data, text.data(), text.size());
    auto size = static_cast<std::uint32_t>(text.size());
    std::memcpy(bytes_, &data, sizeof data);
    std::memcpy(bytes_ + sizeof data, &size, sizeof size);
    bytes_[kTag] = kLong;
}

void TXMLText::Release() noexcept {
    if (!IsLong()) return;
    char* data;
    std::memcpy(&data, bytes_, sizeof data);
    delete[] data;
    Reset();
}

std::ostream& operator<<(std::ostream& out, const TXMLText& text) { return out << text.view(); }

void TTagList::Grow() {
    // Entries are written before they are read: no need to clear them.
    blocks_.push_back(std::unique_ptr<Entry[]>(new Entry[kGrowth]));
    next_ = blocks_.back().get();
    end_ = next_ + kGrowth;
}

void TBlockDocXML::Grow(std::size_t capacity) {
    if (capacity > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("Too many XML elements");
    auto* grown = static_cast<TElementDocXML*>(::operator new(capacity * sizeof(TElementDocXML)));
    for (std::uint32_t i = 0; i < size_; ++i) {
        new (grown + i) TElementDocXML(std::move(data_[i]));
        data_[i].~TElementDocXML();
    }
    ::operator delete(data_);
    data_ = grown;
    capacity_ = static_cast<std::uint32_t>(capacity);
}

void TBlockDocXML::Free() noexcept {
    for (std::uint32_t i = 0; i < size_; ++i) data_[i].~TElementDocXML();
    ::operator delete(data_);
}

void TElementDocXML::DismantleChildren() {
    // Children are dismantled through a work list instead of nested
    // destructor calls, so a hostile text nested a million deep cannot
    // exhaust the stack.
    std::vector<TBlockDocXML> pending;
    pending.push_back(std::move(Children));
    while (!pending.empty()) {
        TBlockDocXML block = std::move(pending.back());
        pending.pop_back();
        for (TElementDocXML& child : block)
            if (!child.Children.empty()) pending.push_back(std::move(child.Children));
    }
}

std::vector<const TElementDocXML*> TElementDocXML::FindChildren(std::string_view name) const {
    std::vector<const TElementDocXML*> found;
    for (const TElementDocXML& child : Children)
        if (child.Name == name) found.push_back(&child);
    return found;
}

const TElementDocXML* TElementDocXML::FindChild(std::string_view name) const {
    for (const TElementDocXML& child : Children)
        if (child.Name == name) return &child;
    return nullptr;
}

std::string TElementDocXML::ChildText(std::string_view name) const {
    const TElementDocXML* child = FindChild(name);
    return child ? child->Value.str() : std::string();
}

std::int32_t TElementDocXML::ChildInt(std::string_view name) const {
    for (const TElementDocXML& child : Children) {
        if (child.Name != name) continue;
        try {
            return TextToInt(child.Value);
        } catch (const EConvertError&) {
        }
    }
    return 0;
}

double TElementDocXML::ChildFloat(std::string_view name, double fallback) const {
    for (const TElementDocXML& child : Children) {
        if (child.Name != name) continue;
        try {
            return TextToFloat(child.Value);
        } catch (const EConvertError&) {
        }
    }
    return fallback;
}

TElementDocXML& TElementDocXML::AddChild(std::string_view name) { return Children.emplace_back(name); }

void TSimploXML::Clear() {
    // The scrap element dismantles the old tree without recursion.
    TElementDocXML scrap;
    scrap.Children = std::move(Root_.Children);
    Tags_.Clear();
}

namespace {

// Thrown inside a parse that passes its limits, at the byte where it did,
// with the limit it passed.
struct TLimitPassed {
    std::size_t offset;
    std::string what;
};

// A tag as a message shows it: a hostile name may be megabytes long.
std::string ShownTag(std::string_view tag) {
    constexpr std::size_t kShown = 24;
    return "<" + std::string(tag.substr(0, kShown)) + (tag.size() > kShown ? "...>" : ">");
}

TXmlParseResult Failed(TXMLFailure status, std::size_t offset, std::string reason) {
    return {status, offset, std::move(reason)};
}

}  // namespace

std::string TXmlParseResult::description() const {
    switch (status) {
        case TXMLFailure::None:
            return "No error";
        case TXMLFailure::Malformed:
            return "Malformed XML at byte " + std::to_string(offset) + ": " + reason;
        case TXMLFailure::TooLarge:
            return "XML text past its limits at byte " + std::to_string(offset) + ": " + reason;
        case TXMLFailure::OutOfMemory:
            break;
    }
    return "Not enough memory to parse the XML text";
}

TXmlParseResult TSimploXML::LoadFromString(std::string text) {
    TXmlParseResult result;
    try {
        Clear();
        if (text.empty())
            result = Failed(TXMLFailure::Malformed, 0, "the text is empty");
        else if (text.size() > kLargestText)
            result = Failed(TXMLFailure::TooLarge, kLargestText, "the text is longer than 2 GiB");
        else
            result = Parse(std::move(text));
    } catch (const TLimitPassed& passed) {
        result = Failed(TXMLFailure::TooLarge, passed.offset, passed.what);
    } catch (const std::bad_alloc&) {
        // Told apart, so that no one takes a lack of memory for a damaged text.
        result = Failed(TXMLFailure::OutOfMemory, 0, "not enough memory");
    } catch (const std::exception& e) {
        result = Failed(TXMLFailure::Malformed, 0, e.what());
    }
    if (!result) {
        Clear();
        if (OnXMLError) OnXMLError(*this);
    }
    return result;
}

namespace {

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::size_t kChunk = 64;

bool EndsRun(char ch) {
    auto c = static_cast<unsigned char>(ch);
    return c < 0x20 || c == '<' || c == '>';
}

// One bit per byte of the `size` (at most 64) bytes at `from`, bit i for
// byte i, set where the byte ends a run of kept bytes: "<", ">", or one the
// tokenizer drops (below 0x20). A whole chunk is classified
// eight bytes at a time, no byte's test depending on another's, so the
// scan runs ahead of the token handling instead of waiting for it.
std::uint64_t RunEndMarks(const char* from, std::size_t size) {
    std::uint64_t marks = 0;
    if (size < kChunk) {
        for (std::size_t i = 0; i < size; ++i)
            if (EndsRun(from[i])) marks |= std::uint64_t{1} << i;
        return marks;
    }
    for (std::size_t w = 0; w < kChunk / 8; ++w) {
        std::uint64_t word;
        std::memcpy(&word, from + 8 * w, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        // Per-byte sums that cannot carry into the next byte: the high bit
        // tells whether the low seven bits reach 0x20 (a byte from 0x80 on
        // is kept whatever they are), and whether the byte differs from "<"
        // and ">" (which differ only in bit 1).
        std::uint64_t printable = (word & kLowBits) + 0x60 * kEveryByte;
        std::uint64_t bracket = (word | 0x02 * kEveryByte) ^ (0x3E * kEveryByte);
        std::uint64_t other = ((bracket & kLowBits) + kLowBits) | bracket;
        std::uint64_t ends = (~(word | printable) | ~other) & kHighBits;
        marks |= ((ends * 0x0002040810204081u) >> 56) << (8 * w);  // the eight high bits gathered
    }
    return marks;
}

bool Closes(std::string_view tag, std::string_view name) {
    if (tag.size() != name.size() + 1 || tag[0] != '/') return false;
    for (std::size_t i = 0; i < name.size(); ++i)  // names are short: no library call
        if (tag[i + 1] != name[i]) return false;
    return true;
}

// Builds the tree from the stored tokens as they come: it starts at the
// first tag, keeps only the chain of open elements (never a recursion) and
// ignores everything after the document element closes. Tokens lie in the
// text starting at `first`, of which 16 bytes can be read from any token
// that starts before `roomy`; a tag token starts just after its "<".
class TreeBuilder {
public:
    TreeBuilder(TElementDocXML& root, const char* first, const char* roomy, const TXMLLimits& limits)
        : current_(&root), first_(first), roomy_(roomy), limits_(limits), elementsLeft_(limits.elements) {}

    void Token(bool isTag, const char* text, std::size_t size) {
        if (state_ != kBuilding) {
            if (state_ == kDone || !isTag) return;
            state_ = kBuilding;
        }
        if (!isTag) {
            Assign(current_->Value, text, size);
        } else if (Closes({text, size}, current_->Name)) {
            if (open_.size() <= 1) {
                state_ = kDone;  // the root or the document element closed
                return;
            }
            current_ = open_.back().element;
            currentTag_ = open_.back().tag;
            open_.pop_back();
        } else {
            TBlockDocXML& children = current_->Children;
            if (elementsLeft_-- == 0 || open_.size() >= limits_.depth || children.size() >= limits_.children)
                Refuse({text, size});
            if (children.empty()) children.reserve(CousinChildren());
            Assign(children.emplace_back().Name, text, size);
            open_.push_back({current_, currentTag_});
            current_ = &children.back();
            currentTag_ = text;
        }
    }
    // False while elements are still open: the tokens ran out.
    bool Complete() const { return state_ != kBuilding; }

    // Why an incomplete tree stays open: the first of the end tags that
    // closed nothing and were opened as elements, else the innermost start
    // tag never closed.
    TXmlParseResult OpenElement() const {
        std::vector<Open> chain(open_.begin() + 1, open_.end());  // without the root
        chain.push_back({current_, currentTag_});
        std::size_t first = chain.size();
        while (first > 0 && chain[first - 1].element->Name.view().substr(0, 1) == "/") --first;
        const Open& fault = chain[first < chain.size() ? first : chain.size() - 1];
        std::size_t at = Offset(fault.tag) - 1;
        std::string name = "<" + fault.element->Name.str() + ">";
        if (first == chain.size()) return {TXMLFailure::Malformed, at, "the element " + name + " is never closed"};
        if (first == 0) return {TXMLFailure::Malformed, at, "the end tag " + name + " closes no element"};
        return {TXMLFailure::Malformed, at,
                "the end tag " + name + " does not close the open element <" + chain[first - 1].element->Name.str() +
                    ">"};
    }

private:
    void Assign(TXMLText& target, const char* text, std::size_t size) const {
        if (text < roomy_)
            target.AssignWithin(text, size);
        else
            target.assign({text, size});
    }

    // Lists repeat: the Counts of one row look like those of the row
    // before. When the current element gets its first child, the number of
    // children of the same-named element at the same place in its parent's
    // previous sibling is a good guess for how many it will get; reserving
    // it spares the list's regrowth. Every element lends its count to one
    // cousin at most, so the guess never reserves more than what the tree
    // already holds.
    std::size_t CousinChildren() const {
        if (open_.size() < 2) return 0;
        const TBlockDocXML& uncles = open_[open_.size() - 2].element->Children;  // the parent and its siblings
        if (uncles.size() < 2) return 0;
        const TBlockDocXML& cousins = uncles[uncles.size() - 2].Children;
        std::size_t index = open_.back().element->Children.size() - 1;
        if (index >= cousins.size() || cousins[index].Name.view() != current_->Name.view()) return 0;
        return cousins[index].Children.size();
    }

    std::size_t Offset(const char* text) const { return static_cast<std::size_t>(text - first_); }

    // The start tag `tag` would pass a limit: which one, at its "<".
    [[noreturn]] void Refuse(std::string_view tag) const {
        std::size_t at = Offset(tag.data()) - 1;
        if (elementsLeft_ == static_cast<std::size_t>(-1))
            throw TLimitPassed{at, "more than " + std::to_string(limits_.elements) + " elements"};
        if (open_.size() >= limits_.depth)
            throw TLimitPassed{at, "the element " + ShownTag(tag) + " is nested deeper than " +
                                       std::to_string(limits_.depth) + " elements"};
        throw TLimitPassed{at, "the element " + ShownTag(current_->Name) + " has more than " +
                                   std::to_string(limits_.children) + " children"};
    }

    // An element still open, and where the text of its start tag begins.
    struct Open {
        TElementDocXML* element;
        const char* tag;
    };

    enum { kWaiting, kBuilding, kDone } state_ = kWaiting;
    std::vector<Open> open_;
    TElementDocXML* current_;
    const char* currentTag_ = nullptr;
    const char* first_;
    const char* roomy_;
    const TXMLLimits& limits_;
    std::size_t elementsLeft_;
};

}  // namespace

TXmlParseResult TSimploXML::Parse(std::string text) {
    // The list owns the text, and every token is a range of it, in place:
    // only a run that lost a dropped byte is moved together.
    std::string& kept = Tags_.text_;
    kept = std::move(text);
    char* const first = kept.data();
    const std::size_t size = kept.size();
    TreeBuilder builder(Root_, first, first + size - std::min<std::size_t>(size, 16), Limits);
    char* start = first;  // the current run
    char* tail = first;   // where its next kept byte goes
    char* read = first;   // the first byte not yet taken into the run
    bool inTag = false;
    // A tag is refused as soon as its run passes the limit, not when its ">"
    // comes megabytes later; the declaration, dropped among the first two
    // tokens, may be longer than any name.
    auto tagPassed = [&](std::size_t length) {
        return length > (Tags_.Count() >= 2 ? Limits.tagLength : std::max(Limits.tagLength, kLongestDeclaration));
    };
    auto refuseTag = [&](std::string_view run) {
        throw TLimitPassed{static_cast<std::size_t>(start - first) - 1,
                           "the tag " + ShownTag(run) + " is longer than " + std::to_string(Limits.tagLength) +
                               " characters"};
    };
    for (std::size_t base = 0; base < size; base += kChunk) {
        // The run's kept bytes: those moved together, and those not yet moved.
        if (inTag && tagPassed(static_cast<std::size_t>(tail - start) + static_cast<std::size_t>(first + base - read)))
            refuseTag(std::string(start, tail) + std::string(read, std::min(first + base, read + 32)));
        for (std::uint64_t marks = RunEndMarks(first + base, std::min(kChunk, size - base)); marks != 0;
             marks &= marks - 1) {
            char* stop = first + base + static_cast<std::size_t>(std::countr_zero(marks));
            auto length = static_cast<std::size_t>(stop - read);
            if (tail != read) std::memmove(tail, read, length);
            tail += length;
            read = stop + 1;
            char ch = *stop;
            if (ch == (inTag ? '>' : '<')) {
                std::string_view token(start, static_cast<std::size_t>(tail - start));
                // Blank-only runs and, among the first two tokens, the
                // declaration are not stored.
                bool store = !token.empty() && (token[0] != ' ' || !IsBlankOnly(token)) &&
                             (Tags_.Count() >= 2 || token.substr(0, 4) != "?xml");
                if (store) {
                    if (Tags_.Count() >= Limits.tokens)
                        throw TLimitPassed{static_cast<std::size_t>(start - first) - (inTag ? 1 : 0),
                                           "more than " + std::to_string(Limits.tokens) + " tokens"};
                    if (inTag && token.size() > Limits.tagLength) refuseTag(token);
                    Tags_.Append(inTag, static_cast<std::size_t>(start - first), token.size());
                    builder.Token(inTag, start, token.size());
                }
                start = tail = read;
                inTag = !inTag;
            } else if (ch == '<' || ch == '>') {
                *tail++ = ch;  // "<" inside a tag, ">" outside one
            }
        }
    }
    // The unfinished last run is dropped; a tag it leaves open is the fault.
    if (builder.Complete()) return {};
    if (inTag)
        return {TXMLFailure::Malformed, static_cast<std::size_t>(start - first) - 1, "the tag is not closed by \">\""};
    return builder.OpenElement();
}

}  // namespace kel
