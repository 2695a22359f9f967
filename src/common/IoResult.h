#pragma once
// What a reader or writer did with a file, handed back as a value: success,
// or which file failed, how and why. Callers decide what the user sees.
#include <string>

namespace kel {

// How a file operation ended.
enum class TIoStatus {
    Ok,
    OpenFailed,   // the file could not be opened; the reason is the system's
    Damaged,      // the file does not hold what its format requires
    WriteFailed,  // the file could not be written; an existing one kept what it held
    Failed,       // anything else: not enough memory, a value that cannot be used
};

struct TIoResult {
    TIoStatus status = TIoStatus::Ok;
    std::string file;    // the file as the caller named it
    std::string reason;  // why it failed, written for the user; empty on success

    // A success.
    static TIoResult Success() { return {}; }
    // A failure of `file` with its status and reason.
    static TIoResult Failure(TIoStatus status, std::string file, std::string reason);

    bool ok() const { return status == TIoStatus::Ok; }
    explicit operator bool() const { return ok(); }
    // One line for the user: what failed on which file and why ("Cannot open
    // file \"a.kel\": No such file or directory"); the reason alone for
    // Damaged and Failed, whose reasons are written whole.
    std::string description() const;
};

}  // namespace kel
