#pragma once
// A message box's content handed back as a value: core code returns what
// the user is to be told, and the edges that drive it show it.
#include <string>
#include <string_view>
#include <vector>

namespace kel {

struct TNotice {
    std::string caption, text;
    bool operator==(const TNotice&) const = default;
};

// Notices in the order they are to be shown.
using TNotices = std::vector<TNotice>;

// Caption of plain message boxes.
inline constexpr std::string_view kProgramCaption = "Kelview";

// A plain box with the program's caption.
TNotice ProgramNotice(std::string_view text);

// The "Debug" box; a text over 126 characters gives "Too long string" under
// the caption "Debug Error" instead.
TNotice DebugNotice(std::string_view text);

// The "Debug" box of a file operation: text, then the file's name (without
// its folder) and the system's reason, as "write error: multilog.csv: No
// space left on device" or "Open Error! a.kel: Permission denied"; text
// alone when that would not fit the box.
TNotice DebugFileNotice(std::string_view text, std::string_view path, std::string_view reason);

}  // namespace kel
