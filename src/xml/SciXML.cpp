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
#include "xml/ParseLimit.h"

namespace kel {

namespace {

// Token offsets and lengths are kept in 31/32 bits.
constexpr std::size_t kLargestText = std::numeric_limits<std::int32_t>::max();
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

std::string xmlparse::ShownTag(std::string_view tag) {
    constexpr std::size_t kShown = 24;
    return "<" + std::string(tag.substr(0, kShown)) + (tag.size() > kShown ? "...>" : ">");
}

namespace {

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
    } catch (const xmlparse::TLimitPassed& passed) {
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

}  // namespace kel
