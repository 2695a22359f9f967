#include "common/AppendFile.h"

#include <fcntl.h>
#include <sys/stat.h>
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

namespace {

// Empties the open file and writes bytes into it; a failed write is taken
// back to an empty file. Closes fd.
bool WriteAfresh(int fd, std::string_view bytes, std::string* error) {
    bool written = ::ftruncate(fd, 0) == 0 && WriteAll(fd, bytes);
    int savedErrno = errno;
    if (!written && ::ftruncate(fd, 0) != 0) savedErrno = errno;
    bool closed = ::close(fd) == 0;
    if (written && closed) return true;
    if (error) *error = std::strerror(written ? errno : savedErrno);
    return false;
}

}  // namespace

bool RewriteFile(const std::string& path, std::string_view bytes, std::string* error) {
    if (!bytes.empty()) {
        // O_NOFOLLOW and O_NONBLOCK: a link or a pipe is never written through.
        int fd = ::open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_nlink == 1) return WriteAfresh(fd, bytes, error);
            ::close(fd);
        }
    }
    ::unlink(path.c_str());  // a missing file is no error
    return bytes.empty() || AppendToFile(path, bytes, error) != TAppendResult::Failed;
}

}  // namespace kel
