#pragma once
// The small XML subset profile texts are written in: nested elements with
// plain names and text values, and an optional leading declaration. No
// attributes, entities, comments or empty-element tags; control bytes
// (below 0x20) are dropped while tokenizing, and every other byte is kept as
// it is: what encoding the text is in is for the reader of the values to say.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <iosfwd>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel {

// One token: the text between "<" and ">" (a tag) or between two tags.
struct TTagRecord {
    bool IsTag = false;
    std::string_view Text;  // valid while the list that handed it out is unchanged
};

// The tokens of one parse. Grows 4096 entries at a time, in blocks, so a
// profile of a million counts never copies the tokens it already holds.
class TTagList {
public:
    static constexpr std::size_t kGrowth = 4096;

    // Number of tokens stored.
    std::size_t Count() const { return count_; }
    // Entries allocated: always a multiple of kGrowth.
    std::size_t Capacity() const { return blocks_.size() * kGrowth; }
    // Token i (i < Count()).
    TTagRecord operator[](std::size_t i) const {
        const Entry& e = blocks_[i / kGrowth][i % kGrowth];
        return {(e.lengthAndTag & kTagBit) != 0, std::string_view(text_).substr(e.offset, e.lengthAndTag & ~kTagBit)};
    }
    // Frees every token and the text they refer to.
    void Clear();

private:
    friend class TSimploXML;
    static constexpr std::uint32_t kTagBit = 0x80000000u;
    struct Entry {
        std::uint32_t offset;
        std::uint32_t lengthAndTag;  // the length, and kTagBit for a tag
    };
    // Stores a token of a text shorter than 2^31 bytes.
    void Append(bool isTag, std::size_t offset, std::size_t length) {
        if (next_ == end_) Grow();
        *next_++ = {static_cast<std::uint32_t>(offset),
                    static_cast<std::uint32_t>(length) | (isTag ? kTagBit : 0u)};
        ++count_;
    }
    void Grow();

    std::string text_;  // the parsed text; tokens are ranges of it
    std::vector<std::unique_ptr<Entry[]>> blocks_;
    std::size_t count_ = 0;
    Entry* next_ = nullptr;  // the next free entry of the last block
    Entry* end_ = nullptr;   // the end of the last block
};

// The text of an element's name or value. Texts of up to 14 bytes (every
// name and count of a profile) sit inside the element, longer ones on the
// heap; 16 bytes either way, so a million-count profile stays compact.
class TXMLText {
public:
    TXMLText() noexcept { Reset(); }
    explicit TXMLText(std::string_view text) {
        Reset();
        assign(text);
    }
    ~TXMLText() {
        if (IsLong()) Release();
    }
    TXMLText(TXMLText&& other) noexcept {
        std::memcpy(bytes_, other.bytes_, sizeof bytes_);
        other.Reset();
    }
    TXMLText& operator=(TXMLText&& other) noexcept {
        if (this != &other) {
            Release();
            std::memcpy(bytes_, other.bytes_, sizeof bytes_);
            other.Reset();
        }
        return *this;
    }
    TXMLText(const TXMLText&) = delete;
    TXMLText& operator=(const TXMLText&) = delete;

    // Replaces the text.
    void assign(std::string_view text);
    // Replaces the text with `size` bytes at `from`, where 16 bytes may be
    // read whatever the size: a short text then takes one fixed-size copy.
    void AssignWithin(const char* from, std::size_t size) {
        if (size >= kTag) return assign({from, size});
        if (IsLong()) Release();
        std::memcpy(bytes_, from, sizeof bytes_);
        bytes_[kTag] = static_cast<char>(size);
    }
    TXMLText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    // The text as a view, valid until it is next changed.
    std::string_view view() const {
        if (!IsLong()) return {bytes_, static_cast<std::size_t>(bytes_[kTag])};
        const char* data;
        std::uint32_t size;
        std::memcpy(&data, bytes_, sizeof data);
        std::memcpy(&size, bytes_ + sizeof data, sizeof size);
        return {data, size};
    }
    operator std::string_view() const { return view(); }  // NOLINT(google-explicit-constructor)
    std::string str() const { return std::string(view()); }
    bool empty() const { return view().empty(); }
    std::size_t size() const { return view().size(); }
    friend bool operator==(const TXMLText& a, std::string_view b) { return a.view() == b; }
    // The text as an integer when it has the plain form writers use, an
    // optional "-" and one to eight digits; false for anything else, which
    // the full conversion rules decide.
    bool PlainInteger(std::int32_t& value) const {
        auto size = static_cast<std::size_t>(bytes_[kTag]);
        std::size_t sign = size != 0 && bytes_[0] == '-' ? 1 : 0;
        std::size_t digits = size - sign;
        if (size > 9 || digits == 0 || digits > 8) return false;  // a long text's size byte is above 9
        // The digits, read as one word from the 16 inline bytes, move to its
        // high end behind "0"s: eight digits, each tested and then combined
        // pairwise.
        std::uint64_t word;
        std::memcpy(&word, bytes_ + sign, sizeof word);
        if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
        std::size_t shift = 8 * (8 - digits);
        word = (word << shift) | (kZeros & ~(~std::uint64_t{0} << shift));
        constexpr std::uint64_t high = 0x8080808080808080u;
        if ((word | (word + 0x4646464646464646u) | ~((word | high) - kZeros)) & high) return false;
        word -= kZeros;
        word = (word * 10 + (word >> 8)) & 0x00FF00FF00FF00FFu;
        word = (word * 100 + (word >> 16)) & 0x0000FFFF0000FFFFu;
        word = (word * 10000 + (word >> 32)) & 0xFFFFFFFFu;
        auto number = static_cast<std::int32_t>(word);
        value = sign ? -number : number;
        return true;
    }

private:
    static constexpr std::size_t kTag = 15;  // short length, or kLong
    static constexpr char kLong = static_cast<char>(0x7F);
    static constexpr std::uint64_t kZeros = 0x3030303030303030u;  // "0" in every byte
    bool IsLong() const { return bytes_[kTag] == kLong; }
    // All 16 bytes: two stores, and no byte is ever read uninitialised.
    void Reset() noexcept { std::memset(bytes_, 0, sizeof bytes_); }
    void Release() noexcept;

    char bytes_[16];
};

// Prints the text (for test messages).
std::ostream& operator<<(std::ostream& out, const TXMLText& text);

class TElementDocXML;

// An element's children in document order: a growable array in 16 bytes,
// whose destruction costs an element without children no call; a
// million-count profile has a million of them.
class TBlockDocXML {
public:
    TBlockDocXML() noexcept = default;
    ~TBlockDocXML() {
        if (data_) Free();
    }
    TBlockDocXML(TBlockDocXML&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          size_(std::exchange(other.size_, 0)),
          capacity_(std::exchange(other.capacity_, 0)) {}
    TBlockDocXML& operator=(TBlockDocXML&& other) noexcept {
        TBlockDocXML old(std::move(*this));
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
        return *this;
    }
    TBlockDocXML(const TBlockDocXML&) = delete;
    TBlockDocXML& operator=(const TBlockDocXML&) = delete;

    // Number of children.
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    // Child i (i < size()).
    TElementDocXML& operator[](std::size_t i);
    const TElementDocXML& operator[](std::size_t i) const;
    TElementDocXML* begin() { return data_; }
    TElementDocXML* end();
    const TElementDocXML* begin() const { return data_; }
    const TElementDocXML* end() const;
    const TElementDocXML& front() const { return *data_; }
    TElementDocXML& back();
    // Makes room for `count` children in all without moving them again.
    void reserve(std::size_t count) {
        if (count > capacity_) Grow(count);
    }
    // Appends a child made from `args` and returns it.
    template <class... Args>
    TElementDocXML& emplace_back(Args&&... args);

private:
    void Grow(std::size_t capacity);
    void Free() noexcept;

    TElementDocXML* data_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};

// One element: its name, its text value and its children in document order.
// An element owns its children; destroying even a very deep tree needs no
// stack depth proportional to its height.
class TElementDocXML {
public:
    TElementDocXML() noexcept {}  // user-provided: no zeroing before the members initialise
    explicit TElementDocXML(std::string_view name) : Name(name) {}
    ~TElementDocXML() {
        if (!Children.empty()) DismantleChildren();
    }
    TElementDocXML(TElementDocXML&&) noexcept = default;
    TElementDocXML& operator=(TElementDocXML&&) noexcept = default;
    TElementDocXML(const TElementDocXML&) = delete;
    TElementDocXML& operator=(const TElementDocXML&) = delete;

    // Every direct child named `name`, in document order.
    std::vector<const TElementDocXML*> FindChildren(std::string_view name) const;
    // The value of the first direct child named `name`; empty when none.
    std::string ChildText(std::string_view name) const;
    // The first direct child named `name` whose value is a decimal integer;
    // children that do not convert are passed over; 0 when none converts.
    std::int32_t ChildInt(std::string_view name) const;
    // As ChildInt for a decimal number with "." (exponent allowed); `fallback`
    // when none converts.
    double ChildFloat(std::string_view name, double fallback) const;
    // Appends a child with that name, no value and no children, and returns it.
    TElementDocXML& AddChild(std::string_view name);
    // The first child, or nullptr.
    const TElementDocXML* FirstChild() const { return Children.empty() ? nullptr : &Children.front(); }
    // The first direct child named `name`, or nullptr.
    const TElementDocXML* FindChild(std::string_view name) const;

    TXMLText Value;  // the last text run seen directly inside the element
    TXMLText Name;   // the whole text of its start tag
    TBlockDocXML Children;

private:
    void DismantleChildren();
};

inline TElementDocXML& TBlockDocXML::operator[](std::size_t i) { return data_[i]; }
inline const TElementDocXML& TBlockDocXML::operator[](std::size_t i) const { return data_[i]; }
inline TElementDocXML* TBlockDocXML::end() { return data_ + size_; }
inline const TElementDocXML* TBlockDocXML::end() const { return data_ + size_; }
inline TElementDocXML& TBlockDocXML::back() { return data_[size_ - 1]; }

template <class... Args>
TElementDocXML& TBlockDocXML::emplace_back(Args&&... args) {
    if (size_ == capacity_) Grow(capacity_ ? 2 * std::size_t{capacity_} : 1);
    TElementDocXML* child = new (data_ + size_) TElementDocXML(std::forward<Args>(args)...);
    ++size_;
    return *child;
}

// The most a parse takes in before it fails as TooLarge.
struct TXMLLimits {
    std::size_t tokens = SIZE_MAX;
    std::size_t elements = SIZE_MAX;
    std::size_t depth = SIZE_MAX;      // elements open at once, the document element being 1
    std::size_t children = SIZE_MAX;   // direct children of any one element
    std::size_t tagLength = SIZE_MAX;  // characters between "<" and ">" of a stored tag
};

// How a parse ended.
enum class TXMLFailure {
    None,         // it did not fail
    Malformed,    // an empty text, a tag never closed, ...
    TooLarge,     // past one of the limits: tokens, elements, depth, children, tag length
    OutOfMemory,  // the system had no memory for the tree
};

// What a parse did: success, or why it failed and at which byte of the text.
struct TXmlParseResult {
    TXMLFailure status = TXMLFailure::None;
    std::size_t offset = 0;  // the byte of the text where the fault lies
    std::string reason;      // what is wrong there; empty on success

    bool ok() const { return status == TXMLFailure::None; }
    explicit operator bool() const { return ok(); }
    // "Malformed XML at byte 12: the element <b> is never closed"; "No error"
    // on success.
    std::string description() const;
};

// The children of a list element read as decimal integers as each one
// closes, instead of being kept in the tree: a profile's million counts
// then need no element each.
struct TXMLIntegerList {
    std::size_t entries = 0;           // children the list element got
    std::vector<std::int32_t> values;  // their values in order, up to the first that is not an integer
    std::string notInteger;            // the value of that first one, when there is one
};

// The elements open around one that opens, the unnamed root first.
using TXMLOpenElements = std::span<const TElementDocXML* const>;

// Turns a text into a tree below an unnamed root whose first child is the
// document element.
class TSimploXML {
public:
    TSimploXML() = default;
    ~TSimploXML() { Clear(); }
    TSimploXML(const TSimploXML&) = delete;
    TSimploXML& operator=(const TSimploXML&) = delete;

    // Parses `text`, replacing the previous tree. On failure (an empty text,
    // a tag never closed, ...) the tree is empty, OnXMLError is raised and the
    // result names the fault and its byte offset; no exception leaves.
    TXmlParseResult LoadFromString(std::string text);
    // Destroys every element below the root and empties the tokens.
    void Clear();
    // The document element (the root's first child), or nullptr.
    const TElementDocXML* DocumentElement() const { return Root_.FirstChild(); }

    const TElementDocXML& Root() const { return Root_; }
    const TTagList& Tags() const { return Tags_; }
    std::size_t TagCount() const { return Tags_.Count(); }

    // Raised with the parser when a parse fails.
    std::function<void(TSimploXML& sender)> OnXMLError;
    // A parse stops, as TooLarge, as soon as the tree would pass these.
    TXMLLimits Limits;
    // Asked as each element opens outside a list, with the elements open
    // around it: the list that takes the values of its children instead of
    // the tree (which keeps the element itself, childless), or nullptr.
    std::function<TXMLIntegerList*(TXMLOpenElements open, const TElementDocXML& element)> IntegerLists;
    // Asked after IntegerLists as each element it passed over opens outside
    // a list and outside an element answered true: whether the reader never
    // reads that element's descendants. The tree then keeps the element and
    // its value, childless, and its descendants pass every limit and rule
    // as ever, but none is kept.
    std::function<bool(TXMLOpenElements open, const TElementDocXML& element)> UnreadChildren;
    // Whether Tags() keeps the tokens of a parse; a reader that needs only
    // the tree spares their memory. Limits count them either way.
    bool KeepTokens = true;

private:
    // Tokenizes `text` and builds the tree; fails as Malformed when it ends
    // with elements still open.
    TXmlParseResult Parse(std::string text);

    TElementDocXML Root_;
    TTagList Tags_;
};

}  // namespace kel
