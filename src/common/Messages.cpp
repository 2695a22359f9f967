#include "common/Messages.h"

#include <iostream>
#include <string>

namespace kel {

namespace {
StderrMessageSink g_stderrSink;
MessageSink* g_sink = &g_stderrSink;
}  // namespace

void StderrMessageSink::Show(std::string_view caption, std::string_view text) {
    std::cerr << caption << ": " << text << '\n';
}

MessageSink& Messages() { return *g_sink; }

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* previous = g_sink;
    g_sink = sink ? sink : &g_stderrSink;
    return previous;
}

namespace {
// The platform box of the original program could not take longer texts.
constexpr std::size_t kLongestText = 126;
}  // namespace

void DebugMessage(std::string_view text) {
    if (text.size() > kLongestText)
        Messages().Show("Debug Error", "Too long string");
    else
        Messages().Show("Debug", text);
}

void DebugFileMessage(std::string_view text, std::string_view path, std::string_view reason) {
    std::string_view name = path.substr(path.find_last_of('/') + 1);
    // "Open Error!" reads on with a blank, "write error" with a colon.
    bool closed = !text.empty() && (text.back() == '!' || text.back() == '.');
    std::string detailed = std::string(text) + (closed ? " " : ": ") + std::string(name);
    if (!reason.empty()) detailed += ": " + std::string(reason);
    DebugMessage(detailed.size() <= kLongestText ? std::string_view(detailed) : text);
}

void ShowMessage(std::string_view text) { Messages().Show(kProgramCaption, text); }

}  // namespace kel
