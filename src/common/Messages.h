#pragma once
// Message boxes reach the core through this one interface: the GUI shows a
// modal box, the command-line tool prints to stderr, tests record the texts.
#include <string>
#include <string_view>
#include <vector>

#include "common/Notice.h"

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

// The sink a message of the calling thread goes to: its own, else the
// process's (never null).
MessageSink& Messages();

// Installs sink (null restores the stderr sink) and returns the previous one.
MessageSink* SetMessageSink(MessageSink* sink);

// Installs a sink for the calling thread alone, in front of the process's
// one (null removes it), and returns the thread's previous one (or null).
MessageSink* SetThreadMessageSink(MessageSink* sink);

// Keeps the boxes shown to it, in order, for someone to show later.
class TRecordedMessages : public MessageSink {
public:
    struct TMessage {
        std::string caption, text;
    };
    void Show(std::string_view caption, std::string_view text) override;
    // Shows every recorded box through sink, in order, and forgets them.
    void ReplayTo(MessageSink& sink);
    const std::vector<TMessage>& Recorded() const { return messages_; }

private:
    std::vector<TMessage> messages_;
};

// Records the boxes of the calling thread while it lives.
class TThreadMessageCapture {
public:
    explicit TThreadMessageCapture(TRecordedMessages& into) : previous_(SetThreadMessageSink(&into)) {}
    ~TThreadMessageCapture() { SetThreadMessageSink(previous_); }
    TThreadMessageCapture(const TThreadMessageCapture&) = delete;
    TThreadMessageCapture& operator=(const TThreadMessageCapture&) = delete;

private:
    MessageSink* previous_;
};

// Shows each notice through sink, or through the calling thread's sink, in order.
void ShowNotices(MessageSink& sink, const TNotices& notices);
void ShowNotices(const TNotices& notices);

// Shows DebugNotice(text) on sink, or on the calling thread's sink.
void DebugMessage(MessageSink& sink, std::string_view text);
void DebugMessage(std::string_view text);

// Shows DebugFileNotice(text, path, reason) on sink, or on the calling
// thread's sink.
void DebugFileMessage(MessageSink& sink, std::string_view text, std::string_view path, std::string_view reason);
void DebugFileMessage(std::string_view text, std::string_view path, std::string_view reason);

// Shows ProgramNotice(text), a plain box with the program's caption, on sink
// or on the calling thread's sink.
void ShowMessage(MessageSink& sink, std::string_view text);
void ShowMessage(std::string_view text);

// Passes every box on to the sink of the thread that shows it, as it is at
// that moment (Messages()): for a part that chooses to share the boxes of
// the code beneath it, such as a command-line run whose batch report
// interleaves them with its progress.
class TCurrentThreadMessages : public MessageSink {
public:
    void Show(std::string_view caption, std::string_view text) override;
};

}  // namespace kel
