#pragma once
// The small XML subset profile texts are written in: nested elements with
// plain names and text values, and an optional leading declaration. No
// attributes, entities, comments or empty-element tags; bytes outside
// 0x20..0x7F are dropped while tokenizing.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
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
        return {e.isTag != 0, std::string_view(text_).substr(e.offset, e.length)};
    }
    // Frees every token and the text they refer to.
    void Clear();

private:
    friend class TSimploXML;
    struct Entry {
        std::uint32_t offset;
        std::uint32_t length : 31;
        std::uint32_t isTag : 1;
    };
    void Append(bool isTag, std::size_t offset, std::size_t length) {
        if (count_ == Capacity()) Grow();
        Entry& e = blocks_[count_ / kGrowth][count_ % kGrowth];
        e.offset = static_cast<std::uint32_t>(offset);
        e.length = static_cast<std::uint32_t>(length) & 0x7FFFFFFFu;
        e.isTag = isTag ? 1u : 0u;
        ++count_;
    }
    void Grow();

    std::string text_;  // the kept bytes; tokens are ranges of it
    std::vector<std::unique_ptr<Entry[]>> blocks_;
    std::size_t count_ = 0;
};

class TElementDocXML;
using TBlockDocXML = std::vector<TElementDocXML>;

// One element: its name, its text value and its children in document order.
// An element owns its children; destroying even a very deep tree needs no
// stack depth proportional to its height.
class TElementDocXML {
public:
    TElementDocXML() = default;
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

    std::string Value;  // the last text run seen directly inside the element
    std::string Name;   // the whole text of its start tag
    TBlockDocXML Children;

private:
    void DismantleChildren();
};

// Turns a text into a tree below an unnamed root whose first child is the
// document element. Failures are reported only as false and OnXMLError.
class TSimploXML {
public:
    TSimploXML() = default;
    ~TSimploXML() { Clear(); }
    TSimploXML(const TSimploXML&) = delete;
    TSimploXML& operator=(const TSimploXML&) = delete;

    // Parses `text`, replacing the previous tree; true on success. On failure
    // (an empty text, a tag never closed, ...) the tree is empty, OnXMLError
    // is raised and the result is false; no exception leaves.
    bool LoadFromString(std::string text);
    // Destroys every element below the root and empties the tokens.
    void Clear();
    // The document element (the root's first child), or nullptr.
    const TElementDocXML* DocumentElement() const { return Root_.FirstChild(); }

    const TElementDocXML& Root() const { return Root_; }
    const TTagList& Tags() const { return Tags_; }
    std::size_t TagCount() const { return Tags_.Count(); }

    // Raised with the parser when a parse fails.
    std::function<void(TSimploXML& sender)> OnXMLError;

private:
    // Tokenizes `text` and builds the tree; false when it ends with
    // elements still open.
    bool Parse(std::string text);

    TElementDocXML Root_;
    TTagList Tags_;
};

}  // namespace kel
