#include "common/CsvField.h"

namespace kel {

void AppendCsvField(std::string& out, std::string_view text, TCsvQuoting quoting) {
    if (quoting == TCsvQuoting::WhenNeeded && text.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += text;
        return;
    }
    out += '"';
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

}  // namespace kel
