#pragma once
// A file's size and last-write time: what tells, without reading it, that
// another program has written the file since it was last looked at.
#include <cstdint>
#include <string>

namespace kel {

struct TFileStamp {
    bool exists = false;
    std::uintmax_t size = 0;
    std::int64_t written = 0;  // last-write time in the file system's own ticks
    bool operator==(const TFileStamp&) const = default;
};

// The stamp of the file at path (UTF-8) now; exists is false when the file
// is not there or cannot be asked.
TFileStamp FileStampOf(const std::string& path);

}  // namespace kel
