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

void ShowNotices(MessageSink& sink, const TNotices& notices) {
    for (const TNotice& notice : notices) sink.Show(notice.caption, notice.text);
}

void ShowNotices(const TNotices& notices) { ShowNotices(Messages(), notices); }

void DebugMessage(MessageSink& sink, std::string_view text) { ShowNotices(sink, {DebugNotice(text)}); }

void DebugMessage(std::string_view text) { DebugMessage(Messages(), text); }

void DebugFileMessage(MessageSink& sink, std::string_view text, std::string_view path, std::string_view reason) {
    ShowNotices(sink, {DebugFileNotice(text, path, reason)});
}

void DebugFileMessage(std::string_view text, std::string_view path, std::string_view reason) {
    DebugFileMessage(Messages(), text, path, reason);
}

void ShowMessage(MessageSink& sink, std::string_view text) { ShowNotices(sink, {ProgramNotice(text)}); }

void ShowMessage(std::string_view text) { ShowMessage(Messages(), text); }

void TCurrentThreadMessages::Show(std::string_view caption, std::string_view text) { Messages().Show(caption, text); }

}  // namespace kel
