// Tokenizing a text and building its tree: the part of every profile load
// that sees each byte.
#include <algorithm>
#include <bit>
#include <cstring>
#include <deque>
#include <vector>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "xml/ParseLimit.h"
#include "xml/SciXML.h"

namespace kel {

namespace {

using xmlparse::ShownTag;
using xmlparse::TLimitPassed;

// A declaration with version, encoding and standalone fits many times over.
constexpr std::size_t kLongestDeclaration = 256;

constexpr std::uint64_t kEveryByte = 0x0101010101010101u;
constexpr std::uint64_t kLowBits = 0x7F7F7F7F7F7F7F7Fu;
constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::size_t kChunk = 64;

bool IsBlankOnly(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

bool EndsRun(char ch) {
    auto c = static_cast<unsigned char>(ch);
    return c < 0x20 || c == '<' || c == '>';
}

// The eight bytes at `from`, the first in the lowest byte.
std::uint64_t Word(const char* from) {
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}

// The high bit of every byte of `word` that ends a run of kept bytes: "<",
// ">", or one the tokenizer drops (below 0x20). Per-byte sums that cannot
// carry into the next byte: the high bit tells whether the low seven bits
// reach 0x20 (a byte from 0x80 on is kept whatever they are), and whether
// the byte differs from "<" and ">" (which differ only in bit 1).
std::uint64_t RunEnds(std::uint64_t word) {
    std::uint64_t printable = (word & kLowBits) + 0x60 * kEveryByte;
    std::uint64_t bracket = (word | 0x02 * kEveryByte) ^ (0x3E * kEveryByte);
    std::uint64_t other = ((bracket & kLowBits) + kLowBits) | bracket;
    return (~(word | printable) | ~other) & kHighBits;
}

// One bit per byte of the `size` (at most 64) bytes at `from`, bit i for
// byte i, set where the byte ends a run. A whole chunk is classified eight
// bytes at a time, no byte's test depending on another's, so the scan runs
// ahead of the token handling instead of waiting for it.
std::uint64_t RunEndMarks(const char* from, std::size_t size) {
    std::uint64_t marks = 0;
    if (size < kChunk) {
        for (std::size_t i = 0; i < size; ++i)
            if (EndsRun(from[i])) marks |= std::uint64_t{1} << i;
        return marks;
    }
    for (std::size_t w = 0; w < kChunk / 8; ++w)
        marks |= ((RunEnds(Word(from + 8 * w)) * 0x0002040810204081u) >> 56) << (8 * w);  // the high bits gathered
    return marks;
}

// The marks from bit `from` on; none when that lies past the chunk.
std::uint64_t MarksFrom(std::uint64_t marks, std::size_t from) {
    return from >= kChunk ? 0 : marks & (~std::uint64_t{0} << from);
}

// The low `bytes` bytes of a word set, the rest clear.
std::uint64_t LowBytes(std::size_t bytes) { return bytes >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * bytes)) - 1; }

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
// that starts before `roomy`; a tag token starts just after its "<". The
// children of an element that `lists` chooses are read into its list, each
// kept aside while it is open, instead of joining the tree; the
// descendants of an element that `unread` chooses are opened, checked and
// closed in a few reused elements, one per level, instead of joining it.
class TreeBuilder {
public:
    using Lists = std::function<TXMLIntegerList*(TXMLOpenElements, const TElementDocXML&)>;
    using Unread = std::function<bool(TXMLOpenElements, const TElementDocXML&)>;

    TreeBuilder(TElementDocXML& root, const char* first, const char* roomy, const TXMLLimits& limits,
                const Lists& lists, const Unread& unread)
        : current_(&root), first_(first), roomy_(roomy), limits_(limits), lists_(lists), unread_(unread),
          elementsLeft_(limits.elements) {}

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
            if (current_ == &entry_) TakeValue(entry_.Value);
            if (current_ == list_) list_ = nullptr;
            if (!unreadChildren_.empty()) unreadChildren_.pop_back();  // empty again as the unread element closes
            current_ = open_.back();
            currentTag_ = tags_.back();
            open_.pop_back();
            tags_.pop_back();
        } else if (current_ == list_) {
            if (elementsLeft_-- == 0 || open_.size() >= limits_.depth || values_->entries >= limits_.children)
                Refuse({text, size});
            ++values_->entries;
            if (!entry_.Children.empty()) {
                TElementDocXML scrap;  // the last entry's children, dismantled without recursion
                scrap.Children = std::move(entry_.Children);
            }
            entry_.Value = TXMLText();
            Assign(entry_.Name, text, size);
            Open(&entry_, text);
        } else if (!unreadChildren_.empty()) {
            std::size_t& siblings = unreadChildren_.back();
            if (elementsLeft_-- == 0 || open_.size() >= limits_.depth || siblings >= limits_.children)
                Refuse({text, size});
            ++siblings;
            // A level's element is reused once its predecessor there closed.
            std::size_t level = unreadChildren_.size();
            if (unreadLevels_.size() < level) unreadLevels_.emplace_back();
            TElementDocXML& child = unreadLevels_[level - 1];
            child.Value = TXMLText();
            Assign(child.Name, text, size);
            Open(&child, text);
            unreadChildren_.push_back(0);
        } else {
            TBlockDocXML& children = current_->Children;
            if (elementsLeft_-- == 0 || open_.size() >= limits_.depth || children.size() >= limits_.children)
                Refuse({text, size});
            if (children.empty()) children.reserve(CousinChildren());
            TElementDocXML& child = children.emplace_back();
            Assign(child.Name, text, size);
            Open(&child, text);
            if (list_) return;
            if (lists_) ChooseList(child);
            if (!list_ && unread_ && unread_(OpenChain(), child)) unreadChildren_.push_back(0);
        }
    }
    // False while elements are still open: the tokens ran out.
    bool Complete() const { return state_ != kBuilding; }

    // The name of the open list's last child while that list is the
    // current element and that child left no children; empty otherwise.
    // A name of up to 14 bytes lies in 16 readable ones.
    std::string_view NextEntryName() const {
        if (state_ != kBuilding || current_ != list_ || !list_ || !entry_.Children.empty()) return {};
        return entry_.Name.view();
    }
    // Whether one more child of the open list passes no limit.
    bool EntryFits() const {
        return elementsLeft_ != 0 && open_.size() < limits_.depth && values_->entries < limits_.children;
    }
    // A child of the open list, named as the last one, opened and closed
    // with the value at `text` (empty when size is 0) and no children.
    void TakeEntry(const char* text, std::size_t size) {
        --elementsLeft_;
        ++values_->entries;
        TXMLText value;
        if (size != 0) Assign(value, text, size);
        TakeValue(value);
    }

    // Why an incomplete tree stays open: the first of the end tags that
    // closed nothing and were opened as elements, else the innermost start
    // tag never closed.
    TXmlParseResult OpenElement() const {
        struct Link {
            const TElementDocXML* element;
            const char* tag;
        };
        std::vector<Link> chain;  // without the root
        for (std::size_t i = 1; i < open_.size(); ++i) chain.push_back({open_[i], tags_[i]});
        chain.push_back({current_, currentTag_});
        std::size_t first = chain.size();
        while (first > 0 && chain[first - 1].element->Name.view().substr(0, 1) == "/") --first;
        const Link& fault = chain[first < chain.size() ? first : chain.size() - 1];
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

    void Open(TElementDocXML* element, const char* tag) {
        open_.push_back(current_);
        tags_.push_back(currentTag_);
        current_ = element;
        currentTag_ = tag;
    }

    TXMLOpenElements OpenChain() const {
        // Pointers to elements and to const elements are similar types:
        // the chain may be read through the latter.
        return {reinterpret_cast<const TElementDocXML* const*>(open_.data()), open_.size()};
    }

    void ChooseList(TElementDocXML& element) {
        TXMLIntegerList* values = lists_(OpenChain(), element);
        if (!values) return;
        values->entries = 0;
        values->values.clear();
        values->notInteger.clear();
        list_ = &element;
        values_ = values;
    }

    // The value of a list's child as it closes: kept as an integer up to
    // the first child whose value is none.
    void TakeValue(const TXMLText& value) {
        TXMLIntegerList& list = *values_;
        std::int32_t number;
        if (list.values.size() + 1 == list.entries && value.PlainInteger(number))
            list.values.push_back(number);
        else
            TakeOtherValue(value);
    }
    // Out of line, so that the plain case above stays small enough to be inlined.
    [[gnu::noinline]] void TakeOtherValue(const TXMLText& value) {
        TXMLIntegerList& list = *values_;
        if (list.values.size() + 1 != list.entries) return;  // an earlier child was no integer
        try {
            list.values.push_back(TextToInt(value));
        } catch (const EConvertError&) {
            list.notInteger = value.str();
        }
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
        const TBlockDocXML& uncles = open_[open_.size() - 2]->Children;  // the parent and its siblings
        if (uncles.size() < 2) return 0;
        const TBlockDocXML& cousins = uncles[uncles.size() - 2].Children;
        std::size_t index = open_.back()->Children.size() - 1;
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

    enum { kWaiting, kBuilding, kDone } state_ = kWaiting;
    std::vector<TElementDocXML*> open_;  // the elements open around the current one, the root first
    std::vector<const char*> tags_;      // where the text of their start tags begins
    TElementDocXML* current_;
    const char* currentTag_ = nullptr;
    const char* first_;
    const char* roomy_;
    const TXMLLimits& limits_;
    const Lists& lists_;
    const Unread& unread_;
    std::size_t elementsLeft_;
    TElementDocXML* list_ = nullptr;       // the open list element, whose children go to values_
    TXMLIntegerList* values_ = nullptr;
    TElementDocXML entry_;                 // the list's child while it is open, and its name after
    // While an unread element is open: the children so far of it and of each
    // open descendant, one entry per level; empty otherwise.
    std::vector<std::size_t> unreadChildren_;
    std::deque<TElementDocXML> unreadLevels_;  // the open descendants, the element's child first
};

}  // namespace

TXmlParseResult TSimploXML::Parse(std::string text) {
    // The list owns the text, and every token is a range of it, in place:
    // only a run that lost a dropped byte is moved together.
    std::string& kept = Tags_.text_;
    kept = std::move(text);
    char* const first = kept.data();
    const std::size_t size = kept.size();
    char* const end = first + size;
    TreeBuilder builder(Root_, first, end - std::min<std::size_t>(size, 16), Limits, IntegerLists, UnreadChildren);
    std::size_t stored = 0;  // tokens stored, kept in Tags_ or not
    auto store = [&](bool isTag, const char* token, std::size_t length) {
        if (KeepTokens) Tags_.Append(isTag, static_cast<std::size_t>(token - first), length);
        ++stored;
    };
    char* start = first;  // the current run
    char* tail = first;   // where its next kept byte goes
    char* read = first;   // the first byte not yet taken into the run
    bool inTag = false;
    // A tag is refused as soon as its run passes the limit, not when its ">"
    // comes megabytes later; the declaration, dropped among the first two
    // tokens, may be longer than any name.
    auto tagPassed = [&](std::size_t length) {
        return length > (stored >= 2 ? Limits.tagLength : std::max(Limits.tagLength, kLongestDeclaration));
    };
    auto refuseTag = [&](std::string_view run) {
        throw TLimitPassed{static_cast<std::size_t>(start - first) - 1,
                           "the tag " + ShownTag(run) + " is longer than " + std::to_string(Limits.tagLength) +
                               " characters"};
    };
    // A list's children mostly repeat one shape, "<c>123</c>", a million
    // times over: each child of that shape clear of every limit is taken
    // whole here, start tag, value and end tag at once, instead of mark by
    // mark; anything else, or the end of the text near, goes the general
    // way. Returns where the children taken end.
    constexpr std::size_t kShortName = 14;
    constexpr std::ptrdiff_t kRoomyEntry = 64;  // bytes an entry of a short name and value may be read in
    auto takeEntries = [&](char* at) {
        const std::string_view name = builder.NextEntryName();
        const std::size_t n = name.size();
        if (n == 0 || n > kShortName || n >= Limits.tagLength || stored < 2) return at;
        // The name as the masked words the text is compared with.
        const std::uint64_t low = LowBytes(n), high = LowBytes(n < 8 ? 0 : n - 8);
        const std::uint64_t nameLow = Word(name.data()) & low, nameHigh = Word(name.data() + 8) & high;
        auto named = [&](const char* at8) {
            return (Word(at8) & low) == nameLow && (high == 0 || (Word(at8 + 8) & high) == nameHigh);
        };
        while (end - at >= kRoomyEntry && stored + 3 <= Limits.tokens && builder.EntryFits()) {
            if (at[0] != '<' || at[n + 1] != '>' || !named(at + 1)) break;
            const char* value = at + n + 2;
            std::uint64_t ends = RunEnds(Word(value));
            std::size_t length = static_cast<std::size_t>(std::countr_zero(ends)) / 8;
            if (ends == 0) {
                ends = RunEnds(Word(value + 8));
                if (ends == 0) break;
                length = 8 + static_cast<std::size_t>(std::countr_zero(ends)) / 8;
            }
            const char* close = value + length;
            if (*close != '<' || (length != 0 && value[0] == ' ') || close[1] != '/' || close[n + 2] != '>' ||
                !named(close + 2))
                break;
            store(true, at + 1, n);
            if (length != 0) store(false, value, length);
            store(true, close + 1, n + 1);
            builder.TakeEntry(value, length);
            at += (close - at) + static_cast<std::ptrdiff_t>(n) + 3;
        }
        return at;
    };
    std::size_t base = 0;
    while (base < size) {
        // The run's kept bytes: those moved together, and those not yet moved.
        if (inTag && tagPassed(static_cast<std::size_t>(tail - start) + static_cast<std::size_t>(first + base - read)))
            refuseTag(std::string(start, tail) + std::string(read, std::min(first + base, read + 32)));
        std::size_t next = base + kChunk;
        // Bytes before `read` were taken already, whole entries among them.
        std::uint64_t marks = MarksFrom(RunEndMarks(first + base, std::min(kChunk, size - base)),
                                        read > first + base ? static_cast<std::size_t>(read - first) - base : 0);
        while (marks != 0) {
            char* stop = first + base + static_cast<std::size_t>(std::countr_zero(marks));
            marks &= marks - 1;
            auto length = static_cast<std::size_t>(stop - read);
            if (tail != read) std::memmove(tail, read, length);
            tail += length;
            read = stop + 1;
            char ch = *stop;
            if (ch == (inTag ? '>' : '<')) {
                std::string_view token(start, static_cast<std::size_t>(tail - start));
                // Blank-only runs and, among the first two tokens, the
                // declaration are not stored.
                if (!token.empty() && (token[0] != ' ' || !IsBlankOnly(token)) &&
                    (stored >= 2 || token.substr(0, 4) != "?xml")) {
                    if (stored >= Limits.tokens)
                        throw TLimitPassed{static_cast<std::size_t>(start - first) - (inTag ? 1 : 0),
                                           "more than " + std::to_string(Limits.tokens) + " tokens"};
                    if (inTag && token.size() > Limits.tagLength) refuseTag(token);
                    store(inTag, start, token.size());
                    builder.Token(inTag, start, token.size());
                }
                inTag = !inTag;
                if (!inTag) read = takeEntries(read);
                start = tail = read;
                auto done = static_cast<std::size_t>(read - first);
                if (done >= next) {
                    next = done - done % kChunk;  // the chunk the entries end in
                    break;
                }
                marks = MarksFrom(marks, done - base);
            } else if (ch == '<' || ch == '>') {
                *tail++ = ch;  // "<" inside a tag, ">" outside one
            }
        }
        base = next;
    }
    // The unfinished last run is dropped; a tag it leaves open is the fault.
    if (builder.Complete()) return {};
    if (inTag)
        return {TXMLFailure::Malformed, static_cast<std::size_t>(start - first) - 1, "the tag is not closed by \">\""};
    return builder.OpenElement();
}

}  // namespace kel
