#include "common/Messages.h"

#include <iostream>
#include <string>
#include <utility>

namespace kel {

namespace {
StderrMessageSink g_stderrSink;
MessageSink* g_sink = &g_stderrSink;
thread_local MessageSink* t_sink = nullptr;
}  // namespace

void StderrMessageSink::Show(std::string_view caption, std::string_view text) {
    std::cerr << caption << ": " << text << '\n';
}

MessageSink& Messages() { return t_sink ? *t_sink : *g_sink; }

MessageSink* SetThreadMessageSink(MessageSink* sink) { return std::exchange(t_sink, sink); }

void TRecordedMessages::Show(std::string_view caption, std::string_view text) {
    messages_.push_back({std::string(caption), std::string(text)});
}

void TRecordedMessages::ReplayTo(MessageSink& sink) {
    std::vector<TMessage> messages = std::move(messages_);
    messages_.clear();
    for (const TMessage& m : messages) sink.Show(m.caption, m.text);
}

MessageSink* SetMessageSink(MessageSink* sink) {
    MessageSink* previous = g_sink;
    g_sink = sink ? sink : &g_stderrSink;
    return previous;
}

namespace {
// The platform box of the original program could not take longer texts.
constexpr std::size_t kLongestText = 126;
}  // namespace

void DebugMessage(MessageSink& sink, std::string_view text) {
    if (text.size() > kLongestText)
        sink.Show("Debug Error", "Too long string");
    else
        sink.Show("Debug", text);
}

void DebugMessage(std::string_view text) { DebugMessage(Messages(), text); }

void DebugFileMessage(MessageSink& sink, std::string_view text, std::string_view path, std::string_view reason) {
    std::string_view name = path.substr(path.find_last_of('/') + 1);
    // "Open Error!" reads on with a blank, "write error" with a colon.
    bool closed = !text.empty() && (text.back() == '!' || text.back() == '.');
    std::string detailed = std::string(text) + (closed ? " " : ": ") + std::string(name);
    if (!reason.empty()) detailed += ": " + std::string(reason);
    DebugMessage(sink, detailed.size() <= kLongestText ? std::string_view(detailed) : text);
}

void DebugFileMessage(std::string_view text, std::string_view path, std::string_view reason) {
    DebugFileMessage(Messages(), text, path, reason);
}

void ShowMessage(MessageSink& sink, std::string_view text) { sink.Show(kProgramCaption, text); }

void ShowMessage(std::string_view text) { ShowMessage(Messages(), text); }

void TCurrentThreadMessages::Show(std::string_view caption, std::string_view text) { Messages().Show(caption, text); }

}  // namespace kel
