#pragma once
// Appending whole lines to a log without ever losing what it held.
#include <string>
#include <string_view>

namespace kel {

enum class TAppendResult {
    Appended,  // the bytes were added to the existing file
    Created,   // the file did not exist and was created with the bytes
    Failed,    // nothing was written (the reason is in `error`)
};

// Appends bytes in one write to path, holding the file's advisory lock (see
// os::LockExclusive) meanwhile. A symbolic link that another user owns is
// refused, never followed. A missing file is created; any other failure
// (permissions, a full disk, a folder in the way) leaves an existing file as
// it was before the write, the lines other writers added meanwhile kept: it
// is never truncated or recreated. `error` then receives the failing call's
// own reason.
TAppendResult AppendToFile(const std::string& path, std::string_view bytes, std::string* error = nullptr);

}  // namespace kel
