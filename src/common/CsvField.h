#pragma once
// Text fields of the comma-separated files, so that a name can never shift
// or split the columns and records a spreadsheet reads.
#include <string>
#include <string_view>

namespace kel {

// Whether a field is quoted only when its text needs it or always (the
// compound names, which the log formats have always quoted).
enum class TCsvQuoting { WhenNeeded, Always };

// Appends text as one field: in double quotes, inner quotes doubled, when it
// holds a comma, a double quote or a line break (or when quoting is Always);
// otherwise exactly as it is.
void AppendCsvField(std::string& out, std::string_view text, TCsvQuoting quoting = TCsvQuoting::WhenNeeded);

}  // namespace kel
