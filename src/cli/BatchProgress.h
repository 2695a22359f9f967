#pragma once
// Progress of a long run on stderr: a bar with the file count on a terminal,
// one plain line per file otherwise (logs, pipes).
#include <cstdio>
#include <string>

namespace kel::cli {

class TBatchProgressDisplay {
public:
    // A bar when stream is a terminal.
    explicit TBatchProgressDisplay(std::FILE* stream);
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
    bool lineOpen_ = false;
};

}  // namespace kel::cli
