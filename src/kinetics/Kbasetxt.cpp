#include "kinetics/Kbasetxt.h"

#include <algorithm>
#include <limits>

#include "common/Errors.h"
#include "common/NumberText.h"
#include "common/SafeFile.h"
#include "common/TextExcerpt.h"

namespace kel {

namespace {

constexpr std::size_t kNameTextLimit = 40;
constexpr double kHighestPlausibleRate = 1e-8;
constexpr double kHighestPlausibleMass = 300;
// A generous library holds a few thousand compounds of a few short lines
// each; a larger file is no library, and reading it whole would cost its size.
constexpr std::size_t kLargestLibrary = std::size_t{16} << 20;

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string TrimControls(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsBlankOrControl(text[b])) ++b;
    while (e > b && IsBlankOrControl(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

// Name and formula from a line such as "acetone (C3H6O)"; a line whose "("
// opens it, or whose first ")" comes first, is all name.
void SplitNameLine(std::string_view line, TKrecord& record) {
    std::size_t open = line.find('(');
    std::size_t close = line.find(')');
    if (open != std::string_view::npos && open > 0 && close != std::string_view::npos && close > open) {
        record.Name = TrimControls(line.substr(0, open).substr(0, kNameTextLimit));
        record.Formula = TrimControls(line.substr(open + 1, close - open - 1).substr(0, kNameTextLimit));
    } else {
        record.Name = std::string(line);
    }
}

// Reads the kinetics text the way the file was always read: whole lines for
// names, whitespace-separated numbers that may run onto the next line. The
// first failure sticks, so a record is either read whole or reported.
class KineticsReader {
public:
    explicit KineticsReader(std::string_view text) : text_(text) {}

    bool Failed() const { return failed_; }

    // True when nothing but blanks, control characters and line ends remain.
    bool OnlyBlanksLeft() const {
        return std::all_of(text_.begin() + static_cast<std::ptrdiff_t>(pos_), text_.end(), IsBlankOrControl);
    }

    std::string_view ReadLine() {
        std::size_t end = text_.find('\n', pos_);
        std::string_view line = text_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        pos_ = end == std::string_view::npos ? text_.size() : end + 1;
        return line;
    }

    void SkipLine() {
        if (!failed_) ReadLine();
    }

    // True when only blanks and tabs stand before the end of the current line.
    bool RestOfLineBlank() const {
        std::size_t i = pos_;
        while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) ++i;
        if (i == text_.size() || text_[i] == '\n') return true;
        return text_[i] == '\r' && (i + 1 == text_.size() || text_[i + 1] == '\n');
    }

    std::int32_t ReadInteger() {
        std::int32_t value = 0;
        if (std::string_view token = NextToken(); !token.empty()) {
            try {
                value = TextToInt(token);
            } catch (const EConvertError&) {
                failed_ = true;
            }
        }
        return value;
    }

    double ReadReal() {
        double value = 0;
        if (std::string_view token = NextToken(); !token.empty()) {
            try {
                value = TextToFloat(token);
            } catch (const EConvertError&) {
                failed_ = true;
            }
        }
        return value;
    }

private:
    // The next whitespace-separated token; empty (and failed) after a failure
    // or when the text ends where a number was due.
    std::string_view NextToken() {
        if (failed_) return {};
        while (pos_ < text_.size() && IsBlankOrControl(text_[pos_])) ++pos_;
        std::size_t start = pos_;
        while (pos_ < text_.size() && !IsBlankOrControl(text_[pos_])) ++pos_;
        if (start == pos_) failed_ = true;
        return text_.substr(start, pos_ - start);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool failed_ = false;
};

enum class RecordEnd { Complete, Stop };

// Reads the lines after the name line into record, noting warnings in
// `result`; on a count above 15 or a read error notes "Kbase error " + name
// as the failure and asks to stop.
RecordEnd ReadCompoundBody(KineticsReader& in, TKrecord& record, TKineticsLoadResult& result) {
    auto stop = [&] {
        result.io.status = TIoStatus::Damaged;
        result.io.reason = "Kbase error " + MessageExcerpt(record.Name);
        return RecordEnd::Stop;
    };
    auto Warn = [&](std::string_view prefix, double value) {
        result.warnings.push_back(std::string(prefix) + FormatGeneral(value));
    };
    record.PrecursorCount = in.ReadInteger();
    in.SkipLine();
    if (record.PrecursorCount > kMaxCompoundLines) return stop();
    for (int i = 0; i < record.PrecursorCount && !in.Failed(); ++i) {
        auto n = static_cast<std::size_t>(i);
        record.PrecursorMass[n] = in.ReadReal();
        record.RateCoefficient[n] = in.ReadReal();
        record.PrecursorWeight[n] = in.ReadReal();
        if (!in.Failed() && !in.RestOfLineBlank()) record.PrecursorFactor[n] = in.ReadReal();
        in.SkipLine();
        // Implausible values are worth a word but not worth losing the compound.
        if (record.RateCoefficient[n] > kHighestPlausibleRate) Warn("Kbase k= ", record.RateCoefficient[n]);
        if (record.PrecursorMass[n] > kHighestPlausibleMass) Warn("Kbase mi= ", record.PrecursorMass[n]);
    }
    if (record.PrecursorFactor[0] == 0) record.PrecursorFactor[0] = 1.0;
    if (in.Failed()) return stop();

    record.ProductCount = in.ReadInteger();
    in.SkipLine();
    if (record.ProductCount > kMaxCompoundLines) return stop();
    for (int j = 0; j < record.ProductCount && !in.Failed(); ++j) {
        auto n = static_cast<std::size_t>(j);
        record.ProductMass[n] = in.ReadReal();
        record.ProductWeight[n] = in.ReadReal();
        record.ProductFactor[n] = 1.0;
        if (!in.Failed() && !in.RestOfLineBlank()) record.ProductFactor[n] = in.ReadReal();
        in.SkipLine();
        if (record.ProductMass[n] > kHighestPlausibleMass) Warn("Kbase mp= ", record.ProductMass[n]);
    }
    if (in.Failed()) return stop();

    record.SelectCount = 1;
    record.Marked = false;
    record.LineCount = std::max(record.PrecursorCount, record.ProductCount);
    return RecordEnd::Complete;
}

}  // namespace

std::string ReadKineticsText(const std::string& path) {
    std::string text = ReadWholeRegularFile(path, kLargestLibrary);
    if (text.find('\0') != std::string::npos)
        throw EFileRefused("Kinetics file \"" + path + "\" holds NUL bytes: it is not a text file");
    return text;
}

TKineticsLoadResult TKbase::LoadFile(const std::string& path) {
    if (path.empty()) return {};
    std::string text;
    try {
        text = ReadKineticsText(path);
    } catch (const EFileRefused& e) {
        return {TIoResult::Failure(TIoStatus::Failed, path, e.what()), {}};
    } catch (const EFileError& e) {
        return {TIoResult::Failure(TIoStatus::OpenFailed, path, e.what()), {}};
    }
    TKineticsLoadResult result = LoadText(text);
    result.io.file = path;
    return result;
}

TKineticsLoadResult TKbase::LoadText(std::string_view text) {
    TKineticsLoadResult result;
    KineticsReader in(text);
    while (!in.OnlyBlanksLeft()) {
        TKrecord record;
        SplitNameLine(in.ReadLine(), record);
        if (ReadCompoundBody(in, record, result) == RecordEnd::Stop) break;
        if (record.PrecursorCount > 0 && record.ProductCount > 0) records_.push_back(std::move(record));
    }
    return result;
}

std::vector<std::string> KineticsMessages(const TKineticsLoadResult& result) {
    std::vector<std::string> messages = result.warnings;
    if (result.io.status == TIoStatus::Damaged || result.io.status == TIoStatus::Failed) messages.push_back(result.io.reason);
    return messages;
}

TNotices KineticsNotices(const TKineticsLoadResult& result) {
    TNotices notices;
    for (const std::string& message : KineticsMessages(result)) notices.push_back(ProgramNotice(message));
    return notices;
}

TKrecord& TKbase::Compound(int index) {
    return const_cast<TKrecord&>(static_cast<const TKbase&>(*this).Compound(index));
}

const TKrecord& TKbase::Compound(int index) const {
    if (index < 0 || index >= Count())
        throw EKelError("There is no compound " + std::to_string(index) + " in a kinetics library of " +
                        std::to_string(Count()) + " compounds");
    return records_[static_cast<std::size_t>(index)];
}

void TKbase::ClearSelection() {
    for (TKrecord& record : records_) record.SelectCount = 0;
}

void TKbase::CountMatches(int precursorCode, int ionMass) {
    constexpr int kMostMatches = std::numeric_limits<std::uint16_t>::max();
    for (TKrecord& record : records_) {
        int matches = record.SelectCount;
        int precursors = std::min(record.PrecursorCount, 16);
        int products = std::min(record.ProductCount, 16);
        for (int i = 0; i < precursors; ++i) {
            bool precursorMatches = record.PrecursorMass[static_cast<std::size_t>(i)] == precursorCode ||
                                    (precursorCode == 0 && i == 0);
            if (!precursorMatches) continue;
            for (int j = 0; j < products; ++j)
                if (record.ProductMass[static_cast<std::size_t>(j)] == ionMass) ++matches;
        }
        record.SelectCount = static_cast<std::uint16_t>(std::min(matches, kMostMatches));
    }
}

void TKbase::DropIncomplete() {
    for (TKrecord& record : records_)
        if (record.SelectCount < record.ProductCount) record.SelectCount = 0;
}

}  // namespace kel
