#include "cli/BatchProgress.h"

#include <utility>

#include "common/Platform.h"

namespace kel::cli {

namespace {
constexpr int kBarWidth = 30;
}

TBatchProgressDisplay::TBatchProgressDisplay(std::FILE* stream, std::string verb)
    : stream_(stream), bar_(os::IsTerminal(stream)), verb_(std::move(verb)) {}

TBatchProgressDisplay::~TBatchProgressDisplay() { EndLine(); }

void TBatchProgressDisplay::EndLine() {
    if (lineOpen_) std::fputc('\n', stream_);
    lineOpen_ = false;
}

void TBatchProgressDisplay::Starting(int index, int count, const std::string& name) {
    if (!bar_) {
        std::fprintf(stream_, "%s %d of %d: %s\n", verb_.c_str(), index + 1, count, name.c_str());
        std::fflush(stream_);
        return;
    }
    Finished(index, count);
    std::fprintf(stream_, " %s", name.c_str());
    std::fflush(stream_);
}

void TBatchProgressDisplay::Finished(int done, int count) {
    if (!bar_) return;
    int filled = count > 0 ? done * kBarWidth / count : kBarWidth;
    std::string bar(static_cast<std::size_t>(filled), '#');
    bar.resize(kBarWidth, '.');
    // \33[K clears what a longer file name left on the line.
    std::fprintf(stream_, "\r\33[K[%s] %d/%d", bar.c_str(), done, count);
    std::fflush(stream_);
    lineOpen_ = true;
}

TBatchMessages::TBatchMessages(TBatchProgressDisplay& display)
    : display_(display), previous_(SetMessageSink(this)) {}

TBatchMessages::~TBatchMessages() { SetMessageSink(previous_); }

void TBatchMessages::Show(std::string_view caption, std::string_view text) {
    if (held_) return;
    display_.EndLine();
    previous_->Show(caption, text);
}

}  // namespace kel::cli
