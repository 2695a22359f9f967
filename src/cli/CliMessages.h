#pragma once
// The message boxes of the window, printed to stderr with their caption.
// A box that reports a failure (a file not opened or written, a refused
// value, a damaged library) makes the run end with status 1; the few
// notices that only warn do not.
#include <string_view>

#include "common/Messages.h"

namespace kel::cli {

class TCliMessages : public MessageSink {
public:
    void Show(std::string_view caption, std::string_view text) override;
    // Failure boxes shown so far.
    int Failures() const { return failures_; }
    // While set, a failure box also ends the current command by raising
    // EFailure, as the batch must stop at the profile that failed.
    void SetStopAtFailure(bool stop) { stopAtFailure_ = stop; }

private:
    int failures_ = 0;
    bool stopAtFailure_ = false;
};

// Whether a box only warns: an old profile without flow-tube values, an
// implausible value in a kinetics file that is read all the same.
bool IsWarningBox(std::string_view text);

// The sink the command-line tool installs for the whole run.
TCliMessages& CliMessages();

}  // namespace kel::cli
