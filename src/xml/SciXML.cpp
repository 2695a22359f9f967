#include "xml/SciXML.h"

#include <exception>
#include <limits>

#include "common/Errors.h"
#include "common/NumberText.h"

namespace kel {

namespace {

// Token offsets and lengths are kept in 31/32 bits.
constexpr std::size_t kLargestText = std::numeric_limits<std::int32_t>::max();

bool IsBlankOnly(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

TTagRecord TTagList::operator[](std::size_t i) const {
    const Entry& e = blocks_[i / kGrowth][i % kGrowth];
    return {e.isTag != 0, std::string_view(text_).substr(e.offset, e.length)};
}

void TTagList::Clear() {
    blocks_.clear();
    count_ = 0;
    std::string().swap(text_);
}

void TTagList::Append(bool isTag, std::size_t offset, std::size_t length) {
    if (count_ == Capacity()) blocks_.push_back(std::make_unique<Entry[]>(kGrowth));
    Entry& e = blocks_[count_ / kGrowth][count_ % kGrowth];
    e.offset = static_cast<std::uint32_t>(offset);
    e.length = static_cast<std::uint32_t>(length) & 0x7FFFFFFFu;
    e.isTag = isTag ? 1u : 0u;
    ++count_;
}

TElementDocXML::~TElementDocXML() {
    if (Children.empty()) return;
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
    return child ? child->Value : std::string();
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
    Root_.Children.clear();
    Tags_.Clear();
}

bool TSimploXML::LoadFromString(std::string_view text) {
    bool ok = false;
    try {
        Clear();
        if (!text.empty() && text.size() <= kLargestText) {
            Tokenize(text);
            ok = BuildTree();
        }
    } catch (const std::exception&) {
        // Out of memory on a huge text is a failed parse like any other.
        ok = false;
    }
    if (!ok) {
        Clear();
        if (OnXMLError) OnXMLError(*this);
    }
    return ok;
}

void TSimploXML::Tokenize(std::string_view text) {
    // The kept bytes are written into the list's own text; every token is
    // then a range of it that ends where its delimiter would have been.
    std::string& kept = Tags_.text_;
    kept.resize(text.size());
    char* out = kept.data();
    std::size_t written = 0, start = 0;
    bool inTag = false;
    for (char ch : text) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c > 0x7F) continue;
        if (c == (inTag ? '>' : '<')) {
            StoreToken(inTag, start, written);
            start = written;
            inTag = !inTag;
            continue;
        }
        out[written++] = ch;
    }
    kept.resize(written);  // the unfinished last run is dropped
}

void TSimploXML::StoreToken(bool isTag, std::size_t begin, std::size_t end) {
    std::string_view s(Tags_.text_.data() + begin, end - begin);
    if (IsBlankOnly(s)) return;
    // Only the first stored tokens can be the declaration.
    if (Tags_.Count() < 2 && s.substr(0, 4) == "?xml") return;
    Tags_.Append(isTag, begin, end - begin);
}

bool TSimploXML::BuildTree() {
    std::size_t count = Tags_.Count();
    std::size_t i = 0;
    while (i < count && !Tags_[i].IsTag) ++i;
    if (i == count) return true;  // no tag at all: an empty tree

    // Only the chain of open elements is kept, never a recursion.
    std::vector<TElementDocXML*> open;
    TElementDocXML* current = &Root_;
    for (; i < count; ++i) {
        TTagRecord token = Tags_[i];
        if (!token.IsTag) {
            current->Value.assign(token.Text);
            continue;
        }
        const std::string& name = current->Name;
        bool closesCurrent = token.Text.size() == name.size() + 1 && token.Text[0] == '/' &&
                             token.Text.substr(1) == name;
        if (closesCurrent) {
            if (open.size() <= 1) return true;  // current is the root or the document element
            current = open.back();
            open.pop_back();
        } else {
            open.push_back(current);
            current = &current->AddChild(token.Text);
        }
    }
    return false;  // ran out of tokens with elements still open
}

}  // namespace kel
