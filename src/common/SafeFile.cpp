#include "common/SafeFile.h"

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <system_error>
#include <utility>

#include "common/Platform.h"

namespace kel {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// A replacement a minute old that nobody holds open was left by a writer that
// was killed (a batch stopped half-way); younger ones may still be written.
constexpr std::int64_t kLeftoverAgeSeconds = 60;

// Removes the folder's leftovers once per process: the first replacement in
// a folder pays for one look at it, a batch of thousands no more.
void RemoveLeftoversOnce(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> swept;
    std::error_code error;
    std::string key = os::Utf8Of(std::filesystem::absolute(os::PathOf(folder), error).lexically_normal());
    std::lock_guard<std::mutex> lock(mutex);
    if (swept.insert(key).second) os::RemoveStaleUniqueFiles(folder, kLeftoverAgeSeconds);
}

}  // namespace

TReplacementFile::TReplacementFile(std::string path, TDurability durability)
    : path_(std::move(path)), durability_(durability) {
    // A file the user made read-only is kept from changes, as by any editor.
    if (os::IsReadOnlyFile(path_)) throw EFileWriteError(path_, "the file is read-only");
    std::string folder = os::FolderOf(path_);
    RemoveLeftoversOnce(folder);
    fd_ = os::CreateUniqueFile(folder, temporary_);
    if (fd_ < 0) Fail(errno);
    // Before any byte is written: a private file's text never lies open.
    if (!os::TakePermissionsOf(fd_, path_)) {
        int error = errno;
        os::Close(fd_);
        os::RemoveFile(temporary_);
        Fail(error);
    }
}

TReplacementFile::~TReplacementFile() {
    if (fd_ >= 0) os::Close(fd_);
    if (!temporary_.empty()) os::RemoveFile(temporary_);
}

void TReplacementFile::Append(std::string_view bytes) {
    if (fd_ < 0) throw EFileWriteError(path_, "it was already put in place");
    if (!os::WriteAll(fd_, bytes)) Fail(errno);
}

void TReplacementFile::Commit() {
    if (fd_ < 0) throw EFileWriteError(path_, "it was already put in place");
    // A save the user asked for reaches the disk before it replaces the old
    // file, so that a crash leaves the old file or the new one, never an
    // empty one. A batch writes thousands of files and can be run again; it
    // skips the waits.
    bool durable = durability_ == TDurability::Synced;
    if (durable && !os::SyncToDisk(fd_)) Fail(errno);
    bool closed = os::Close(fd_);
    fd_ = -1;
    if (!closed) Fail(errno);
    if (!os::RenameOver(temporary_, path_, durable)) Fail(errno);
    temporary_.clear();
    if (durable && !os::SyncFolderOf(path_)) Fail(errno);
}

void TReplacementFile::Fail(int error) {
    // The destructor removes the temporary file; the target was never touched.
    throw EFileWriteError(path_, std::strerror(error));
}

void PutFileInPlace(const std::string& path, std::string_view bytes, TDurability durability) {
    TReplacementFile file(path, durability);
    file.Append(bytes);
    file.Commit();
}

TIoResult ReplaceFileAtomically(const std::string& path, std::string_view bytes, TDurability durability) {
    try {
        PutFileInPlace(path, bytes, durability);
        return TIoResult::Success();
    } catch (const EFileWriteError& e) {
        return TIoResult::Failure(TIoStatus::WriteFailed, path, e.Reason());
    }
}

EFileWriteError::EFileWriteError(const std::string& path, std::string reason)
    : EFileError("Cannot write file " + Quoted(path) + ": " + reason), path_(path), reason_(std::move(reason)) {}

std::string MebibyteText(std::size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

EFileTooLarge::EFileTooLarge(const std::string& path, std::size_t largest)
    : EFileRefused("File " + Quoted(path) + " holds more than " + MebibyteText(largest)) {}

namespace {

std::string ReadWholeFileOf(const std::string& path, std::size_t largest, bool regularOnly) {
    int fd = os::OpenForReading(path);
    if (fd < 0) throw EFileError("Cannot open file " + Quoted(path) + ": " + std::strerror(errno));
    struct Close {
        int fd;
        ~Close() { os::Close(fd); }
    } close{fd};
    // A regular file tells its size, so the text is read in one piece of
    // exactly that size; anything else grows as its data arrives.
    std::optional<std::uint64_t> regularSize = os::RegularFileSize(fd);
    if (!regularSize && regularOnly) {
        // What cannot be read at all (a folder) fails as unreadable; what
        // reads without end or without a writer (a device, a pipe) is refused.
        char probe;
        if (os::ReadSome(fd, &probe, 1) < 0 && errno != EAGAIN)
            throw EFileError("Cannot read file " + Quoted(path) + ": " + std::strerror(errno));
        throw EFileRefused("File " + Quoted(path) + " is not a regular file");
    }
    std::uint64_t size = regularSize.value_or(0);
    if (size > largest) throw EFileTooLarge(path, largest);
    std::string text(static_cast<std::size_t>(size), '\0');
    std::size_t got = 0;
    for (;;) {
        long n;
        if (got < text.size()) {
            n = os::ReadSome(fd, text.data() + got, text.size() - got);
        } else {
            // Full: one more byte decides between the end and growing.
            char probe;
            n = os::ReadSome(fd, &probe, 1);
            if (n > 0) {
                if (got >= largest) throw EFileTooLarge(path, largest);
                text.resize(std::min(largest, std::max(2 * text.size(), std::size_t{64} << 10)));
                text[got] = probe;
            }
        }
        if (n == 0) break;
        if (n < 0) throw EFileError("Cannot read file " + Quoted(path) + ": " + std::strerror(errno));
        got += static_cast<std::size_t>(n);
    }
    text.resize(got);
    return text;
}

}  // namespace

std::string ReadWholeFile(const std::string& path, std::size_t largest) {
    return ReadWholeFileOf(path, largest, false);
}

std::string ReadWholeRegularFile(const std::string& path, std::size_t largest) {
    return ReadWholeFileOf(path, largest, true);
}

}  // namespace kel
