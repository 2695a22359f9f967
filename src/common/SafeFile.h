#pragma once
// Writing files so that a failure never costs the user the file they had,
// and reading files no larger than their reader can use.
#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "common/Errors.h"
#include "common/IoResult.h"

namespace kel {

// A file that could not be written: "Cannot write file "path": reason".
class EFileWriteError : public EFileError {
public:
    EFileWriteError(const std::string& path, std::string reason);
    // The file and the system's reason alone.
    const std::string& Path() const { return path_; }
    const std::string& Reason() const { return reason_; }

private:
    std::string path_;
    std::string reason_;
};

// Whether a replacement waits until its bytes are on the disk before it takes
// the old file's place: a save the user makes on purpose does; outputs that
// can be made again (a batch's) need not.
enum class TDurability { Synced, Unsynced };

// A file composed aside, under a temporary name in its target's folder, and
// put in place whole: until Commit the target keeps what it held, and a
// replacement that is never committed is removed with the object. The
// replacement takes the permissions of the file it replaces; the first one a
// process makes in a folder removes the user's replacements that killed
// writers left there.
class TReplacementFile {
public:
    // Starts the replacement of `path`; raises EFileWriteError when its
    // folder takes no new file or the existing file is read-only ("the file
    // is read-only").
    explicit TReplacementFile(std::string path, TDurability durability = TDurability::Synced);
    ~TReplacementFile();
    TReplacementFile(const TReplacementFile&) = delete;
    TReplacementFile& operator=(const TReplacementFile&) = delete;

    // Adds bytes to the replacement; raises EFileWriteError.
    void Append(std::string_view bytes);
    // Puts the replacement in place of the target; raises EFileWriteError,
    // and the target then keeps what it held.
    void Commit();
    // The file this replaces.
    const std::string& Path() const { return path_; }

private:
    [[noreturn]] void Fail(int error);

    std::string path_;
    TDurability durability_;
    std::string temporary_;
    int fd_ = -1;
};

// Writes bytes to a temporary file in path's folder and renames it over path
// only when everything was written; on failure raises EFileWriteError and
// leaves no temporary file and an existing file at path untouched.
void PutFileInPlace(const std::string& path, std::string_view bytes,
                    TDurability durability = TDurability::Synced);

// The same, returning a failure (WriteFailed, the system's reason) instead.
TIoResult ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                TDurability durability = TDurability::Synced);

// A file its reader would not take in (too large, not a regular file, not
// the text it must be); the message names the file and why.
class EFileRefused : public EFileError {
public:
    using EFileError::EFileError;
};

// A file larger than its reader's limit: the reader stopped before taking it in.
class EFileTooLarge : public EFileRefused {
public:
    EFileTooLarge(const std::string& path, std::size_t largest);
};

// Reads a whole file; raises EFileError with the system's reason on failure
// and EFileTooLarge, before reading, for a file of more than `largest` bytes.
std::string ReadWholeFile(const std::string& path, std::size_t largest = std::numeric_limits<std::size_t>::max());

// The same for a regular file only: anything else (a device, a pipe, a
// folder) raises EFileRefused naming the file before a byte is read.
std::string ReadWholeRegularFile(const std::string& path, std::size_t largest);

// A size in whole MiB for messages ("32 MiB").
std::string MebibyteText(std::size_t bytes);

}  // namespace kel
