#pragma once
// Message boxes reach the core through this one interface: the GUI shows a
// modal box, the command-line tool prints to stderr, tests record the texts.
#include <string>
#include <string_view>

namespace kel {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // Shows text under caption and returns only once the user has dismissed it.
    virtual void Show(std::string_view caption, std::string_view text) = 0;
};

// Writes "caption: text" lines to standard error; the default sink.
class StderrMessageSink : public MessageSink {
public:
    void Show(std::string_view caption, std::string_view text) override;
};

// The sink every message of the process goes to (never null).
MessageSink& Messages();

// Installs sink (null restores the stderr sink) and returns the previous one.
MessageSink* SetMessageSink(MessageSink* sink);

// The "Debug" box; a text over 126 characters shows "Too long string" under
// the caption "Debug Error" instead.
void DebugMessage(std::string_view text);

// The "Debug" box of a file operation: text, then the file's name (without
// its folder) and the system's reason, as "write error: multilog.csv: No
// space left on device" or "Open Error! a.kel: Permission denied"; text
// alone when that would not fit the box.
void DebugFileMessage(std::string_view text, std::string_view path, std::string_view reason);

// A plain message box with the program's caption.
void ShowMessage(std::string_view text);

// Caption of plain message boxes.
inline constexpr std::string_view kProgramCaption = "Kelview";

}  // namespace kel
