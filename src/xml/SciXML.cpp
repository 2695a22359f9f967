#include "xml/SciXML.h"

#include <exception>
#include <ostream>
#include <limits>

#include "common/Errors.h"
#include "common/NumberText.h"

namespace kel {

namespace {

// Token offsets and lengths are kept in 31/32 bits.
constexpr std::size_t kLargestText = std::numeric_limits<std::int32_t>::max();

bool IsBlankOnly(std::string_view s) { return s.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

void TTagList::Clear() {
    blocks_.clear();
    count_ = 0;
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
    Root_.Children.clear();
    Tags_.Clear();
}

bool TSimploXML::LoadFromString(std::string text) {
    bool ok = false;
    try {
        Clear();
        ok = !text.empty() && text.size() <= kLargestText && Parse(std::move(text));
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

namespace {

// Character classes of the tokenizer.
enum : unsigned char { kKeep, kDrop, kOpen, kClose };

struct ByteClasses {
    unsigned char of[256];
    constexpr ByteClasses() : of() {
        for (int c = 0; c < 256; ++c) of[c] = c < 0x20 || c > 0x7F ? kDrop : kKeep;
        of[static_cast<unsigned char>('<')] = kOpen;
        of[static_cast<unsigned char>('>')] = kClose;
    }
};
constexpr ByteClasses kClasses;

bool Closes(std::string_view tag, std::string_view name) {
    if (tag.size() != name.size() + 1 || tag[0] != '/') return false;
    for (std::size_t i = 0; i < name.size(); ++i)  // names are short: no library call
        if (tag[i + 1] != name[i]) return false;
    return true;
}

// Builds the tree from the stored tokens as they come: it starts at the
// first tag, keeps only the chain of open elements (never a recursion) and
// ignores everything after the document element closes.
class TreeBuilder {
public:
    explicit TreeBuilder(TElementDocXML& root) : current_(&root) {}

    void Token(bool isTag, std::string_view text) {
        if (state_ != kBuilding) {
            if (state_ == kDone || !isTag) return;
            state_ = kBuilding;
        }
        if (!isTag) {
            current_->Value.assign(text);
        } else if (Closes(text, current_->Name)) {
            if (open_.size() <= 1) {
                state_ = kDone;  // the root or the document element closed
                return;
            }
            current_ = open_.back();
            open_.pop_back();
        } else {
            TElementDocXML& child = current_->AddChild(text);
            if (std::size_t expected = CousinChildren(child)) child.Children.reserve(expected);
            open_.push_back(current_);
            current_ = &child;
        }
    }
    // False while elements are still open: the tokens ran out.
    bool Complete() const { return state_ != kBuilding; }

private:
    // Lists repeat: the Counts of one row look like those of the row
    // before. The number of children of the same-named element at the same
    // place in the parent's previous sibling is a good guess for how many a
    // new element will get; reserving it spares the list's regrowth. Every
    // element lends its count to one cousin at most, so the guess never
    // reserves more than what the tree already holds.
    std::size_t CousinChildren(const TElementDocXML& child) const {
        if (open_.empty()) return 0;
        const TBlockDocXML& uncles = open_.back()->Children;  // the parent and its siblings
        if (uncles.size() < 2) return 0;
        const TBlockDocXML& cousins = uncles[uncles.size() - 2].Children;
        std::size_t index = current_->Children.size() - 1;
        if (index >= cousins.size() || cousins[index].Name.view() != child.Name.view()) return 0;
        return cousins[index].Children.size();
    }

    enum { kWaiting, kBuilding, kDone } state_ = kWaiting;
    std::vector<TElementDocXML*> open_;
    TElementDocXML* current_;
};

}  // namespace

bool TSimploXML::Parse(std::string text) {
    // The kept bytes are moved to the front of the text, which the list then
    // owns; every token is a range of it that ends where its delimiter was.
    std::string& kept = Tags_.text_;
    kept = std::move(text);
    char* out = kept.data();
    std::size_t written = 0, start = 0;
    bool inTag = false;
    TreeBuilder builder(Root_);
    for (char ch : kept) {
        unsigned char kind = kClasses.of[static_cast<unsigned char>(ch)];
        if (kind == kKeep) {
            out[written++] = ch;
        } else if (kind == (inTag ? kClose : kOpen)) {
            std::string_view token(out + start, written - start);
            // Blank-only runs and, among the first two tokens, the
            // declaration are not stored.
            bool store = !token.empty() && (token[0] != ' ' || !IsBlankOnly(token)) &&
                         (Tags_.Count() >= 2 || token.substr(0, 4) != "?xml");
            if (store) {
                Tags_.Append(inTag, start, token.size());
                builder.Token(inTag, token);
            }
            start = written;
            inTag = !inTag;
        } else if (kind != kDrop) {
            out[written++] = ch;  // "<" inside a tag, ">" outside one
        }
    }
    kept.resize(written);  // the unfinished last run is dropped
    return builder.Complete();
}

}  // namespace kel
