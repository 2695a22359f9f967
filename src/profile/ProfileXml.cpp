// The XML profile format: the writer, the full and header-only readers, and
// the zipped form that "Save" writes.
#include "profile/ProfileXml.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <optional>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "common/Platform.h"
#include "common/SafeFile.h"
#include "common/TextEncoding.h"
#include "common/TextExcerpt.h"
#include "profile/Kel.h"
#include "profile/ProfileLimits.h"
#include "xml/SciXML.h"
#include "zip/SciZipFile.h"

namespace kel {

namespace {

constexpr int kFileRows = 29;
constexpr std::size_t kNameLength = 12;
constexpr std::size_t kSystemIdLength = 20;

// nim and njm come from the file and may be anything up to 32767 each; rows
// times slots is held to what every real profile fits in (any row count with
// the 201 legacy slots, any slot count with up to 200 rows): about 25 MiB of
// counts at most, never the 4 GiB that 32767 x 32767 would cost.
constexpr std::int64_t kLargestCells = std::int64_t{32768} * 201;

std::string Quoted(std::string_view text) { return "'" + MessageExcerpt(text) + "'"; }

// How the texts of a profile text are read: as UTF-8 when the whole text is
// valid UTF-8, otherwise as the Windows-1252 that older instrument software
// wrote. One decision for the whole text, so that the browser's header-only
// read and the full read show the same characters.
class TTextDecoder {
public:
    explicit TTextDecoder(std::string_view text) : utf8_(IsValidUtf8(text)) {}
    std::string operator()(std::string text) const { return utf8_ ? text : Windows1252ToUtf8(text); }
    // The first `count` characters, never a part of one.
    std::string Cut(std::string text, std::size_t count) const {
        return std::string(Utf8Prefix((*this)(std::move(text)), count));
    }

private:
    bool utf8_;
};

// The format has no escaping, so "<" and ">" in a text would start or end a
// tag and make the file unreadable; they are written as "(" and ")". The
// reader takes a whole text as UTF-8 only when all of it is, so a text that
// is not (whatever put it in the record) is written as the reader would
// have read it, and cannot make the others unreadable.
std::string WrittenText(const std::string& text) {
    std::string out = TextAsUtf8(text);
    for (char& c : out) {
        if (c == '<') c = '(';
        else if (c == '>') c = ')';
    }
    return out;
}

class XmlWriter {
public:
    void Element(std::string_view name, std::string_view value) {
        out += '<';
        out += name;
        out += '>';
        out += value;
        out += "</";
        out += name;
        out += '>';
    }
    void Integer(std::string_view name, std::int64_t value) {
        char buf[24];
        auto end = std::to_chars(buf, buf + sizeof buf, value).ptr;
        Element(name, std::string_view(buf, static_cast<std::size_t>(end - buf)));
    }
    void Fixed(std::string_view name, double value, int decimals) { Element(name, FormatFixed(value, 1, decimals)); }
    void Line(std::string_view piece) {
        out += piece;
        out += "\r\n";
    }
    std::string out;
};

bool RowInUse(const TKel& kel, std::size_t row) {
    return !kel.Name[row].empty() || kel.Dam[row] != 0 || kel.Cntm[row] != 0;
}

// Raises the error of a list that holds fewer than `needed` entries.
void RequireEntries(std::size_t entries, std::size_t needed, const std::string& what) {
    if (entries < needed)
        throw EKelError("Damaged profile: " + what + " holds " + std::to_string(entries) + " entries, " +
                        std::to_string(needed) + " needed");
}

const TElementDocXML& RequiredChild(const TElementDocXML& parent, std::string_view name, const std::string& where) {
    const TElementDocXML* child = parent.FindChild(name);
    if (!child) throw EKelError("Damaged profile: no " + std::string(name) + " element in " + where);
    return *child;
}

// The first `count` values of a list that holds at least as many entries;
// the error names the entry (`what` and its index) that is not an integer.
void ReadIntegers(const TXMLIntegerList& list, std::size_t count, std::int32_t* target, const std::string& what) {
    std::size_t read = std::min(count, list.values.size());
    std::copy_n(list.values.begin(), read, target);
    if (read < count)
        throw EConvertError("Damaged profile: entry " + std::to_string(read) + " of " + what + " " +
                            Quoted(list.notInteger) + " is not a valid integer value");
}

// The lists a profile text holds: the Counts of rows 0..28, each the first
// Counts of that child of the first Ions, then the first Times. Their
// entries go straight to integers instead of into the tree.
class TProfileLists {
public:
    static constexpr std::size_t kTimes = kFileRows;

    TXMLIntegerList* operator()(TXMLOpenElements open, const TElementDocXML& element) {
        // Ions, Ion and Counts are open while a Counts opens: each is the
        // last child of its parent, so an index tells which one it is.
        if (open.size() == 2) {
            if (element.Name == "Ions" && !ions_) ions_ = open[1]->Children.size() - 1;
            if (element.Name != "Times" || taken_[kTimes]) return nullptr;
            return Take(kTimes);
        }
        if (open.size() != 4 || element.Name != "Counts" || open[1]->Children.size() - 1 != ions_) return nullptr;
        std::size_t row = open[2]->Children.size() - 1;
        if (row >= static_cast<std::size_t>(kFileRows) || taken_[row]) return nullptr;
        return Take(row);
    }
    const TXMLIntegerList& operator[](std::size_t list) const { return lists_[list]; }

    // Whether the reader never looks below `element`, one that is no list:
    // it reads the children of the document element, of the first Ions
    // and of its first 29 children, and of nothing else. Repeated lists and
    // elements no profile has then keep no element however many they hold.
    // Asked after operator(), which has then counted a first Ions.
    bool ChildrenUnread(TXMLOpenElements open, const TElementDocXML&) const {
        if (open.size() == 2) return open[1]->Children.size() - 1 != ions_;
        if (open.size() == 3) return open[2]->Children.size() - 1 >= static_cast<std::size_t>(kFileRows);
        return open.size() > 3;
    }

private:
    TXMLIntegerList* Take(std::size_t list) {
        taken_[list] = true;
        // Rows hold as many counts as the row before, the times as many.
        lists_[list].values.reserve(last_ ? last_->entries : 0);
        last_ = &lists_[list];
        return &lists_[list];
    }

    std::optional<std::size_t> ions_;  // the first Ions's index among the document's children
    std::array<bool, kFileRows + 1> taken_{};
    std::array<TXMLIntegerList, kFileRows + 1> lists_;
    const TXMLIntegerList* last_ = nullptr;
};

// The browser's read: the header texts and the date, without parsing.
void ReadHeaderTexts(TKel& kel, const std::string& text) {
    const TTextDecoder decoded(text);
    kel.ion = decoded(ExtractTagText(text, "ion"));
    kel.reactant = decoded(ExtractTagText(text, "reactant"));
    kel.comment = decoded(ExtractTagText(text, "comment"));
    std::string date = ExtractTagText(text, "DateOrigin");
    try {
        kel.DateOrigin = TextToFloat(date);
    } catch (const EConvertError&) {
        throw EConvertError("Damaged profile: the date " + Quoted(date) + " is not a valid floating point value");
    }
    kel.ProfileDate = kel.DateOrigin;
}

// The full read; the text is the parser's to keep while it works.
void ReadWholeProfile(TKel& kel, std::string text) {
    // One parser per parse keeps the record copyable; it is cleared when
    // it goes out of scope.
    const TTextDecoder decoded(text);
    TSimploXML xml;
    xml.Limits = {limits::kMostTokens, limits::kMostElements, limits::kDeepestElement, limits::kMostChildren,
                  limits::kLongestTag};
    // The counts and times, a million values, are read as the text is
    // tokenized: no element and no kept token for each.
    TProfileLists lists;
    xml.IntegerLists = std::ref(lists);
    xml.UnreadChildren = [&lists](TXMLOpenElements open, const TElementDocXML& element) {
        return lists.ChildrenUnread(open, element);
    };
    xml.KeepTokens = false;
    TXmlParseResult parsed = xml.LoadFromString(std::move(text));
    kel.nim = 0;
    kel.njm = 0;
    if (parsed.status == TXMLFailure::OutOfMemory) throw std::bad_alloc();
    if (parsed.status == TXMLFailure::TooLarge)
        throw EKelError("Not a profile: at byte " + std::to_string(parsed.offset) + " of the XML text, " +
                        parsed.reason + ", more than any profile holds");
    const TElementDocXML* document = xml.DocumentElement();
    if (!document)
        throw EKelError(parsed ? "Not a profile: the text holds no XML element"
                               : "Damaged profile: the XML text is incomplete or uses markup profiles do not have");
    auto newNim = static_cast<std::int16_t>(document->ChildInt("nim"));
    auto newNjm = static_cast<std::int16_t>(document->ChildInt("njm"));
    std::int64_t cells = (std::max<std::int64_t>(newNim, 28) + 1) * (std::max<std::int64_t>(newNjm, 200) + 1);
    if (cells > kLargestCells)
        throw EKelError("Damaged profile: " + std::to_string(newNim) + " rows of " + std::to_string(newNjm) +
                        " slots are more than any profile holds");
    kel.nim = newNim;
    kel.njm = newNjm;
    kel.SetArrays(kel.nim, kel.njm);

    auto slots = static_cast<std::size_t>(std::max<int>(kel.njm, 0));
    for (int r = 0; r < kel.nim; ++r) {
        auto row = static_cast<std::size_t>(r);
        kel.Name[row].clear();
        kel.Dam[row] = 0;
        kel.Cntm[row] = 0;
    }
    // Row by row: slot by slot across the rows would touch a new cache
    // line with every store.
    std::fill_n(kel.Times.begin(), slots, 0);
    for (std::size_t r = 0; r < static_cast<std::size_t>(kFileRows); ++r) std::fill_n(kel.Counts[r].begin(), slots, 0);

    kel.im = static_cast<std::int16_t>(document->ChildInt("im"));
    kel.jm = static_cast<std::int16_t>(document->ChildInt("jm"));
    kel.p = document->ChildFloat("p", 0.5);
    kel.fc = document->ChildFloat("fc", 150);
    kel.f1 = document->ChildFloat("f1", 0);
    kel.ion = decoded(document->ChildText("ion"));
    kel.reactant = decoded(document->ChildText("reactant"));
    kel.comment = decoded(document->ChildText("comment"));
    kel.FScan = document->ChildFloat("FScan", 500);
    kel.ts = document->ChildFloat("ts", 0);
    kel.De200 = document->ChildFloat("De200", kel.De200);
    kel.Mr200 = document->ChildFloat("Mr200", kel.Mr200);
    kel.Df73 = document->ChildFloat("Df73", kel.Df73);
    kel.Tg = document->ChildFloat("Tg", 300);
    kel.Aft = document->ChildFloat("Aft", 13);
    kel.lr = document->ChildFloat("lr", 34);
    kel.f4 = document->ChildFloat("f4", 0);
    kel.f5 = document->ChildFloat("f5", 0);
    kel.f6 = document->ChildFloat("f6", 0);
    kel.f7 = document->ChildFloat("f7", 0);
    kel.f8 = document->ChildFloat("f8", 0);
    kel.DateOrigin = document->ChildFloat("DateOrigin", 0);
    kel.SystemId = decoded.Cut(document->ChildText("SystemId"), kSystemIdLength);

    const TElementDocXML& ions = RequiredChild(*document, "Ions", "the profile");
    for (std::size_t r = 0; r < static_cast<std::size_t>(kFileRows); ++r) {
        RequireEntries(ions.Children.size(), r + 1, "Ions");
        const TElementDocXML& e = ions.Children[r];
        kel.Name[r] = decoded.Cut(e.ChildText("Name"), kNameLength);
        kel.Dam[r] = static_cast<std::uint16_t>(e.ChildInt("Dam"));
        kel.Cntm[r] = static_cast<std::uint16_t>(e.ChildInt("Cntm"));
        if (!RowInUse(kel, r)) continue;
        std::string what = "the Counts of row " + std::to_string(r);
        RequiredChild(e, "Counts", "row " + std::to_string(r));
        RequireEntries(lists[r].entries, slots, what);
        ReadIntegers(lists[r], slots, kel.Counts[r].data(), what);
    }
    RequiredChild(*document, "Times", "the profile");
    RequireEntries(lists[TProfileLists::kTimes].entries, slots, "Times");
    ReadIntegers(lists[TProfileLists::kTimes], slots, kel.Times.data(), "Times");
}

}  // namespace

std::string ExtractTagText(std::string_view text, std::string_view name) {
    // Positions are 1-based with 0 for "not found", as the format's
    // original readers computed them.
    auto pos = [&](std::string_view prefix) -> std::int64_t {
        std::string needle = std::string(prefix) + std::string(name);
        auto at = text.find(needle);
        return at == std::string_view::npos ? 0 : static_cast<std::int64_t>(at) + 1;
    };
    std::int64_t start = pos("<") + static_cast<std::int64_t>(name.size()) + 2;
    std::int64_t end = pos("</");
    if (end - start <= 0 || start > static_cast<std::int64_t>(text.size())) return {};
    return std::string(text.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(end - start)));
}

std::string ZippedMemberName(const std::string& fileName) {
    std::string name = fileName.substr(fileName.find_last_of('/') + 1);
    auto dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    return name + ".txt.kel";
}

std::string TKel::BuildXml() const {
    auto rows = static_cast<std::size_t>(kFileRows);
    std::size_t slots = njm > 0 ? static_cast<std::size_t>(njm) : 0;
    bool complete = Dam.size() >= rows && Cntm.size() >= rows && Name.size() >= rows && Counts.size() >= rows &&
                    Times.size() >= slots;
    for (std::size_t r = 0; complete && r < rows; ++r) complete = !RowInUse(*this, r) || Counts[r].size() >= slots;
    if (!complete) throw EKelError("The profile holds fewer rows or slots than it declares; it cannot be saved");

    XmlWriter w;
    // A count is at most 11 digits plus "<c></c>"; most are far shorter.
    w.out.reserve(2048 + (rows + 1) * slots * 14);
    w.out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?><kel>";
    w.Integer("nim", nim);
    w.Integer("njm", njm);
    w.Integer("im", im);
    w.Integer("jm", jm);
    w.Integer("mions", 28);
    w.Fixed("p", p, 3);
    w.Fixed("fc", fc, 5);
    w.Fixed("f1", f1, 5);
    w.Element("ion", WrittenText(ion));
    w.Element("reactant", WrittenText(reactant));
    w.Element("comment", WrittenText(comment));
    w.Fixed("FScan", FScan, 5);
    w.Fixed("De200", De200, 5);
    w.Fixed("Mr200", Mr200, 5);
    w.Fixed("Df73", Df73, 5);
    w.Fixed("ts", ts, 5);
    w.Fixed("Tg", Tg, 2);
    w.Fixed("Aft", Aft, 3);
    w.Fixed("lr", lr, 3);
    w.Fixed("f4", f4, 3);
    w.Fixed("f5", f5, 3);
    w.Fixed("f6", f6, 3);
    w.Fixed("f7", f7, 3);
    w.Fixed("f8", f8, 3);
    w.Fixed("DateOrigin", DateOrigin, 13);
    w.Element("SystemId", WrittenText(SystemId));
    w.Line("");
    w.Line("<Ions>");
    for (std::size_t r = 0; r < rows; ++r) {
        w.Line("<Ion>");
        w.Element("Name", WrittenText(Name[r]));
        w.Integer("Dam", Dam[r]);
        w.Integer("Cntm", Cntm[r]);
        w.out += "<Counts>";
        if (RowInUse(*this, r))
            for (std::size_t s = 0; s < slots; ++s) w.Integer("c", Counts[r][s]);
        w.out += "</Counts>";
        w.Line("");
        w.Line("</Ion>");
    }
    w.Line("</Ions>");
    w.out += "<Times>";
    for (std::size_t s = 0; s < slots; ++s) w.Integer("t", Times[s]);
    w.out += "</Times>";
    w.Line("");
    w.out += "</kel>";
    return std::move(w.out);
}

TIoResult TKel::SaveZipped(const std::string& fileName) const {
    try {
        TZipFile zip;
        zip.AddFile(ZippedMemberName(fileName), 0);
        zip.SetUncompressed(0, BuildXml());
        return zip.SaveToFile(fileName);  // a temporary file renamed over the target
    } catch (const std::exception& e) {
        return TIoResult::Failure(TIoStatus::Failed, fileName, e.what());
    }
}

void TKel::ParseProfileXml(const std::string& text) {
    if (HeaderOnly)
        ReadHeaderTexts(*this, text);
    else
        ReadWholeProfile(*this, text);
}

void TKel::ReadXmlFile(const std::string& fileName) {
    std::string text;
    try {
        text = ReadWholeFile(fileName, limits::kLargestText);
    } catch (const EFileTooLarge&) {
        throw EKelError("Not a profile: \"" + fileName + "\" holds more than " + MebibyteText(limits::kLargestText) +
                        ", more than any profile");
    }
    if (HeaderOnly)
        ReadHeaderTexts(*this, text);
    else
        ReadWholeProfile(*this, std::move(text));
}

void TKel::ReadZipFile(const std::string& fileName) {
    if (HeaderOnly) {
        // The browser needs only member 0's time stamp: the first local
        // header, not the whole archive.
        std::ifstream in(os::PathOf(fileName), std::ios::binary);
        if (!in) throw EFileError("Cannot open file \"" + fileName + "\": " + std::strerror(errno));
        std::optional<TLocalFile> first = ReadFirstLocalHeader(in);
        if (!first) throw EZipIndexError();
        DateOrigin = LocalFileDate(*first);
        ProfileDate = DateOrigin;
        return;
    }
    // The archive is read whole: a file larger than any zipped profile is
    // refused before, and its member before it is inflated.
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(os::PathOf(fileName), ec);
    if (!ec && size > limits::kLargestZipFile)
        throw EKelError("Not a profile: \"" + fileName + "\" holds more than " +
                        MebibyteText(limits::kLargestZipFile) + ", more than any zipped profile");
    TZipFile zip;
    if (TIoResult loaded = zip.LoadFromFile(fileName); !loaded) {
        if (loaded.status == TIoStatus::OpenFailed) throw EFileError(loaded.description());
        throw EZipFileError(loaded.reason);
    }
    std::string text;
    try {
        text = zip.Uncompressed(0, limits::kLargestText);
    } catch (const EZipMemberTooLarge& e) {
        throw EKelError("Not a profile: in \"" + fileName + "\", " + e.what() + ", more than any profile");
    }
    ReadWholeProfile(*this, std::move(text));
}

}  // namespace kel
