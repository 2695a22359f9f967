// The core's operating-system calls on POSIX systems.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

#include "common/Platform.h"

namespace kel::os {

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

int OpenForReading(const std::string& path) {
    // On a regular file O_NONBLOCK changes nothing; a pipe then reads as
    // empty or fails instead of holding the program until someone writes.
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}

int OpenForAppending(const std::string& path, bool& created) {
    created = false;
    // In a folder others may write, a link they planted would make this
    // user's log write into any file this user may write. Only a link of the
    // user's own is resolved; the file is then opened without following
    // links, so one put in its place meanwhile fails the open.
    std::string target = path;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode) && status.st_uid == ::geteuid()) {
        if (char* resolved = ::realpath(path.c_str(), nullptr)) {
            target = resolved;
            std::free(resolved);
        }
    }
    constexpr int kAppend = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW;
    int fd = ::open(target.c_str(), kAppend);
    if (fd < 0 && errno == ENOENT) {
        // O_EXCL: if another program created it meanwhile, append to theirs.
        fd = ::open(target.c_str(), kAppend | O_CREAT | O_EXCL, 0666);
        if (fd >= 0)
            created = true;
        else if (errno == EEXIST)
            fd = ::open(target.c_str(), kAppend);
    }
    return fd;
}

std::optional<std::string> ForeignLinkOwner(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode) || status.st_uid == ::geteuid())
        return std::nullopt;
    const std::string uid = "uid " + std::to_string(status.st_uid);
    const passwd* owner = ::getpwuid(status.st_uid);
    return owner ? std::string(owner->pw_name) + " (" + uid + ")" : uid;
}

int CreateUniqueFile(const std::string& folder, std::string& name) {
    std::string pattern = folder + "/" + std::string(kUniqueFilePrefix) + std::string(kUniqueFileLetters, 'X') +
                          std::string(kUniqueFileSuffix);
    int fd = ::mkstemps(pattern.data(), static_cast<int>(kUniqueFileSuffix.size()));
    if (fd < 0) return -1;
    // mkstemp makes the file private; give it the mode a plain create would.
    // The lock tells a sweep for leftovers that its writer lives; the file
    // is new, so nobody else holds it.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(fd);
        ::unlink(pattern.c_str());
        errno = error;
        return -1;
    }
    name = std::move(pattern);
    return fd;
}

void RemoveStaleUniqueFiles(const std::string& folder, std::int64_t ageSeconds) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    int dirFd = ::dirfd(dir);
    std::time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(dir)) {
        if (!IsUniqueFileName(entry->d_name)) continue;
        struct stat named {};
        if (::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(named.st_mode) ||
            named.st_uid != ::geteuid() || now - named.st_mtime <= ageSeconds)
            continue;
        int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        // The name still leads to the file examined, and no writer holds it.
        struct stat opened {};
        if (::fstat(fd, &opened) == 0 && opened.st_dev == named.st_dev && opened.st_ino == named.st_ino &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
           ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0;
}

bool TakePermissionsOf(int fd, const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return true;
    // Only a group the user belongs to may be given; otherwise the file keeps
    // the user's own, as any file the user makes.
    [[maybe_unused]] int regrouped = ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);
    return ::fchmod(fd, st.st_mode & (S_IRWXU | S_IRWXG | S_IRWXO)) == 0;
}

bool LockExclusive(int fd, bool wait) {
    for (;;) {
        if (::flock(fd, LOCK_EX | (wait ? 0 : LOCK_NB)) == 0) return true;
        if (errno != EINTR) return false;
    }
}

bool Unlock(int fd) { return ::flock(fd, LOCK_UN) == 0; }

long ReadSome(int fd, void* bytes, std::size_t size) {
    for (;;) {
        ssize_t n = ::read(fd, bytes, size);
        if (n >= 0 || errno != EINTR) return static_cast<long>(n);
    }
}

bool WriteAll(int fd, std::string_view bytes, std::size_t* written) {
    if (written) *written = 0;
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        if (written) *written += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::uint64_t> RegularFileSize(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool SeekTo(int fd, std::uint64_t offset) {
    return ::lseek(fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

bool TruncateTo(int fd, std::uint64_t size) { return ::ftruncate(fd, static_cast<off_t>(size)) == 0; }

bool SyncToDisk(int fd) {
    while (::fsync(fd) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool Close(int fd) { return ::close(fd) == 0; }

std::FILE* ReadStreamOf(int fd) { return ::fdopen(fd, "rb"); }

bool RenameOver(const std::string& from, const std::string& to, bool) {
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool SyncFolderOf(const std::string& path) {
    int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    bool synced = SyncToDisk(fd);
    // Some file systems keep names in order without being asked and refuse
    // a folder's fsync; the rename is then as safe as it gets.
    if (!synced && (errno == EINVAL || errno == ENOTSUP)) synced = true;
    int error = errno;
    ::close(fd);
    errno = error;
    return synced;
}

bool RemoveFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

std::optional<std::int64_t> ModificationTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

std::tm LocalTime(std::int64_t seconds) {
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm tm{};
    ::localtime_r(&t, &tm);
    return tm;
}

std::optional<std::vector<std::string>> RegularFileNames(const std::string& folder,
                                                         bool (*wanted)(std::string_view name)) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return std::nullopt;
    int dirFd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno == 0) break;
            const int error = errno;
            ::closedir(dir);
            errno = error;
            return std::nullopt;
        }
        if (!wanted(entry->d_name)) continue;
        // The folder's own file types spare a status call per file where the
        // file system records them.
        bool regular = entry->d_type == DT_REG;
        if (entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) {
            struct stat st {};
            regular = ::fstatat(dirFd, entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
        }
        if (regular) names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + std::min(argc, 1), argv + argc);
}

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

std::filesystem::path ExecutableFile() {
    // Linux names the program's file in /proc, symbolic links already resolved.
    std::error_code error;
    std::filesystem::path file = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : file;
}

}  // namespace kel::os
