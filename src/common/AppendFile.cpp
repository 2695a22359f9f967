#include "common/AppendFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/PosixIo.h"

namespace kel {

TAppendResult AppendToFile(const std::string& path, std::string_view bytes, std::string* error) {
    bool created = false;
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT) {
        // O_EXCL: if another program created it meanwhile, append to theirs.
        fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            created = true;
        else if (errno == EEXIST)
            fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    }
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return TAppendResult::Failed;
    }
    off_t before = ::lseek(fd, 0, SEEK_END);
    bool written = WriteAll(fd, bytes);
    int savedErrno = errno;
    // A line cut short (a full disk) is taken back, so the log holds whole lines only.
    if (!written && before >= 0 && ::ftruncate(fd, before) != 0) savedErrno = errno;
    bool closed = ::close(fd) == 0;
    if (!written || !closed) {
        if (error) *error = std::strerror(written ? errno : savedErrno);
        return TAppendResult::Failed;
    }
    return created ? TAppendResult::Created : TAppendResult::Appended;
}

}  // namespace kel
