// The comma-separated worksheet of a profile's raw content.
#include <string>

#include "common/CsvField.h"
#include "common/NumberText.h"
#include "common/SafeFile.h"
#include "profile/Kel.h"

namespace kel {

namespace {

constexpr int kWorksheetRows = 29;
constexpr const char* kLineEnd = "\r\n";

template <typename Values>
void AppendRowLine(std::string& out, const char* label, const Values& values) {
    out += label;
    for (int r = 0; r < kWorksheetRows; ++r) {
        out += std::to_string(values[static_cast<std::size_t>(r)]);
        out += ',';
    }
    out += kLineEnd;
}

}  // namespace

std::string TKel::BuildWorksheet() const {
    const TKel& kel = *this;
    std::string out = "M2," + std::to_string(kel.nim) + "," + std::to_string(kel.njm);
    for (double value : {static_cast<double>(kel.p), static_cast<double>(kel.fc), static_cast<double>(kel.f1),
                         static_cast<double>(kel.Tg), static_cast<double>(kel.Aft), static_cast<double>(kel.lr),
                         static_cast<double>(kel.f4), static_cast<double>(kel.f5), static_cast<double>(kel.f6),
                         static_cast<double>(kel.f7), static_cast<double>(kel.f8), kel.DateOrigin}) {
        out += ',';
        out += FormatScientific23(value);
    }
    out += ',';
    AppendCsvField(out, kel.SystemId);
    out += kLineEnd;

    out += "\"Names\",";
    for (int r = 0; r < kWorksheetRows; ++r) {
        AppendCsvField(out, kel.Name[static_cast<std::size_t>(r)]);
        out += ',';
    }
    out += kLineEnd;
    AppendRowLine(out, "\"DAm\",", kel.Dam);
    AppendRowLine(out, "\"Cntm\",", kel.Cntm);

    std::size_t slots = kel.Times.size();
    for (int s = 0; s < kel.njm && static_cast<std::size_t>(s) < slots; ++s) {
        auto slot = static_cast<std::size_t>(s);
        out += std::to_string(kel.Times[slot]);
        out += ',';
        for (int r = 0; r < kWorksheetRows; ++r) {
            const auto& row = kel.Counts[static_cast<std::size_t>(r)];
            out += std::to_string(slot < row.size() ? row[slot] : 0);
            out += ',';
        }
        out += kLineEnd;
    }
    return out;
}

TIoResult TKel::WriteCsv(const std::string& fileName) const { return ReplaceFileAtomically(fileName, BuildWorksheet()); }

}  // namespace kel
