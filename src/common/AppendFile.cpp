#include "common/AppendFile.h"

#include <cerrno>
#include <cstring>

#include "common/Platform.h"

namespace kel {

TAppendResult AppendToFile(const std::string& path, std::string_view bytes, std::string* error) {
    bool created = false;
    int fd = os::OpenForAppending(path, created);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return TAppendResult::Failed;
    }
    std::int64_t before = os::SeekToEnd(fd);
    bool written = os::WriteAll(fd, bytes);
    int savedErrno = errno;
    // A line cut short (a full disk) is taken back, so the log holds whole lines only.
    if (!written && before >= 0 && !os::TruncateTo(fd, static_cast<std::uint64_t>(before))) savedErrno = errno;
    bool closed = os::Close(fd);
    if (!written || !closed) {
        if (error) *error = std::strerror(written ? errno : savedErrno);
        return TAppendResult::Failed;
    }
    return created ? TAppendResult::Created : TAppendResult::Appended;
}

}  // namespace kel
