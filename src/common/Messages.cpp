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
void Show(const TNotice& notice) { Messages().Show(notice.caption, notice.text); }
}  // namespace

void ShowNotices(const TNotices& notices) {
    for (const TNotice& notice : notices) Show(notice);
}

void DebugMessage(std::string_view text) { Show(DebugNotice(text)); }

void DebugFileMessage(std::string_view text, std::string_view path, std::string_view reason) {
    Show(DebugFileNotice(text, path, reason));
}

void ShowMessage(std::string_view text) { Show(ProgramNotice(text)); }

}  // namespace kel
