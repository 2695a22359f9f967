#pragma once
// Progress of a long run on stderr: a bar with the file count on a terminal,
// one plain line per file otherwise (logs, pipes).
#include <cstdio>
#include <string>

#include "common/Messages.h"

namespace kel::cli {

class TBatchProgressDisplay {
public:
    // A bar when stream is a terminal; otherwise lines "VERB 2 of 9: NAME".
    explicit TBatchProgressDisplay(std::FILE* stream, std::string verb = "converting");
    ~TBatchProgressDisplay();
    // The file index (0-based) of count is starting.
    void Starting(int index, int count, const std::string& name);
    // The run is over (complete after `done` files); leaves the bar showing.
    void Finished(int done, int count);
    // Ends the bar's line, so that other lines may follow it.
    void EndLine();

private:
    std::FILE* stream_;
    bool bar_;
    std::string verb_;
    bool lineOpen_ = false;
};

// The boxes of a batch while its progress shows: each on a line of its own,
// never behind the bar. While held, they are dropped: the listing reads
// every profile that the conversion reads again, and a file the listing
// refuses is named once by its own line after the run.
class TBatchMessages : public MessageSink {
public:
    // Installs itself as the process's sink until destroyed.
    explicit TBatchMessages(TBatchProgressDisplay& display);
    ~TBatchMessages() override;
    TBatchMessages(const TBatchMessages&) = delete;
    TBatchMessages& operator=(const TBatchMessages&) = delete;

    void Show(std::string_view caption, std::string_view text) override;
    void Hold(bool held) { held_ = held; }

private:
    TBatchProgressDisplay& display_;
    MessageSink* previous_;
    bool held_ = false;
};

}  // namespace kel::cli
