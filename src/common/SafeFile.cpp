#include "common/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "common/PosixIo.h"

namespace kel {

namespace {

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

}  // namespace

TReplacementFile::TReplacementFile(std::string path) : path_(std::move(path)) {
    std::string name = FolderOf(path_) + "/.kelview-XXXXXX";
    std::vector<char> tmpl(name.begin(), name.end());
    tmpl.push_back('\0');
    fd_ = ::mkstemp(tmpl.data());
    if (fd_ < 0) Fail(errno);
    temporary_ = tmpl.data();
    // mkstemp makes the file private; give it the mode a plain create would.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd_, 0666 & ~mask) != 0) {
        int error = errno;  // no destructor runs for an object never made
        ::close(fd_);
        ::unlink(temporary_.c_str());
        Fail(error);
    }
}

TReplacementFile::~TReplacementFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void TReplacementFile::Append(std::string_view bytes) {
    if (fd_ < 0) throw EFileWriteError(path_, "it was already put in place");
    if (!WriteAll(fd_, bytes)) Fail(errno);
}

void TReplacementFile::Commit() {
    if (fd_ < 0) throw EFileWriteError(path_, "it was already put in place");
    // No fsync: a batch writes thousands of files, and rename-over-existing is
    // already ordered after the data by the file systems we run on.
    int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) Fail(errno);
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) Fail(errno);
    temporary_.clear();
}

void TReplacementFile::Fail(int error) {
    // The destructor removes the temporary file; the target was never touched.
    throw EFileWriteError(path_, std::strerror(error));
}

void PutFileInPlace(const std::string& path, std::string_view bytes) {
    TReplacementFile file(path);
    file.Append(bytes);
    file.Commit();
}

TIoResult ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    try {
        PutFileInPlace(path, bytes);
        return TIoResult::Success();
    } catch (const EFileWriteError& e) {
        return TIoResult::Failure(TIoStatus::WriteFailed, path, e.Reason());
    }
}

EFileWriteError::EFileWriteError(const std::string& path, std::string reason)
    : EFileError("Cannot write file " + Quoted(path) + ": " + reason), path_(path), reason_(std::move(reason)) {}

std::string MebibyteText(std::size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

EFileTooLarge::EFileTooLarge(const std::string& path, std::size_t largest)
    : EFileError("File " + Quoted(path) + " holds more than " + MebibyteText(largest)) {}

std::string ReadWholeFile(const std::string& path, std::size_t largest) {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw EFileError("Cannot open file " + Quoted(path) + ": " + std::strerror(errno));
    struct Close {
        int fd;
        ~Close() { ::close(fd); }
    } close{fd};
    struct stat st {};
    // A regular file tells its size, so the text is read in one piece of
    // exactly that size; anything else grows as its data arrives.
    std::size_t expected = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0;
    if (expected > largest) throw EFileTooLarge(path, largest);
    std::string text(expected, '\0');
    std::size_t got = 0;
    for (;;) {
        ssize_t n;
        if (got < text.size()) {
            n = ::read(fd, text.data() + got, text.size() - got);
        } else {
            // Full: one more byte decides between the end and growing.
            char probe;
            n = ::read(fd, &probe, 1);
            if (n > 0) {
                if (got >= largest) throw EFileTooLarge(path, largest);
                text.resize(std::min(largest, std::max(2 * text.size(), std::size_t{64} << 10)));
                text[got] = probe;
            }
        }
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw EFileError("Cannot read file " + Quoted(path) + ": " + std::strerror(errno));
        }
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

}  // namespace kel
