#include "common/Messages.h"

#include <iostream>

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

void DebugMessage(std::string_view text) {
    // The platform box of the original program could not take longer texts.
    constexpr std::size_t kLongestText = 126;
    if (text.size() > kLongestText)
        Messages().Show("Debug Error", "Too long string");
    else
        Messages().Show("Debug", text);
}

void ShowMessage(std::string_view text) { Messages().Show(kProgramCaption, text); }

}  // namespace kel
