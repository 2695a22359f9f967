#include "common/AppendFile.h"

#include <cerrno>
#include <cstring>
#include <optional>

#include "common/Platform.h"

namespace kel {

namespace {

// Appends to the open file under its lock; 0, or the write's own errno.
int AppendLocked(int fd, std::string_view bytes) {
    // Every writer of ours appends and takes back its failures under this
    // lock, so a rollback never cuts away lines another wrote meanwhile. On a
    // file system without locks the append goes on as it always did.
    bool locked = os::LockExclusive(fd, true);
    std::optional<std::uint64_t> before = os::RegularFileSize(fd);
    std::size_t written = 0;
    int failure = 0;
    if (!os::WriteAll(fd, bytes, &written)) {
        failure = errno;
        // A line cut short (a full disk) is taken back, so the log holds whole
        // lines only; and only while the file ends with just what this write
        // added, so that a writer who took no lock (a shell's >>) keeps its
        // lines as well. The rollback's own failure is not the user's reason.
        if (before && written > 0 && os::RegularFileSize(fd) == *before + written) os::TruncateTo(fd, *before);
    }
    if (locked) os::Unlock(fd);
    return failure;
}

}  // namespace

TAppendResult AppendToFile(const std::string& path, std::string_view bytes, std::string* error) {
    if (std::optional<std::string> owner = os::ForeignLinkOwner(path)) {
        if (error) *error = "it is a link that " + *owner + " made; it is not followed";
        return TAppendResult::Failed;
    }
    bool created = false;
    int fd = os::OpenForAppending(path, created);
    int failure = fd < 0 ? errno : AppendLocked(fd, bytes);
    if (fd >= 0 && !os::Close(fd) && failure == 0) failure = errno;
    if (failure != 0) {
        if (error) *error = std::strerror(failure);
        return TAppendResult::Failed;
    }
    return created ? TAppendResult::Created : TAppendResult::Appended;
}

}  // namespace kel
