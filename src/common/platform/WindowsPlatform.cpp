// The core's operating-system calls on Windows: the C runtime's descriptors,
// opened in binary mode through the wide-character calls, so that UTF-8
// paths reach the file system whole.
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <random>
#include <utility>

#include "common/Platform.h"

namespace kel::os {

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), size);
    return wide;
}

std::string Utf8(const wchar_t* wide) {
    int size = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string text(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.pop_back();  // the terminating zero
    return text;
}

// The reasons of the Windows calls as errno values, so that messages read the
// same as those of the C runtime's calls.
void SetErrnoFromLastError() {
    switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            errno = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            errno = EACCES;
            break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            errno = ENOSPC;
            break;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            errno = EEXIST;
            break;
        case ERROR_WRITE_PROTECT:
            errno = EROFS;
            break;
        default:
            errno = EIO;
    }
}

int OpenWide(const std::string& path, int flags) {
    int fd = -1;
    errno = ::_wsopen_s(&fd, Wide(path).c_str(), flags | _O_BINARY | _O_NOINHERIT, _SH_DENYNO, _S_IREAD | _S_IWRITE);
    return fd;
}

constexpr DWORD kLockOffsetLow = 0;
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

std::uint64_t FileTimeTicks(const FILETIME& time) {
    return (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// True when the file's owner is the user the process runs as.
bool OwnedByUser(const std::wstring& path) {
    DWORD size = 0;
    ::GetFileSecurityW(path.c_str(), OWNER_SECURITY_INFORMATION, nullptr, 0, &size);
    if (size == 0) return false;
    std::vector<unsigned char> descriptor(size);
    PSID owner = nullptr;
    BOOL defaulted = FALSE;
    if (!::GetFileSecurityW(path.c_str(), OWNER_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
        !::GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted) || !owner)
        return false;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD userSize = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &userSize);
    std::vector<unsigned char> user(userSize);
    bool same = userSize > 0 && ::GetTokenInformation(token, TokenUser, user.data(), userSize, &userSize) &&
                ::EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid);
    ::CloseHandle(token);
    return same;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) {
        // "C:name" lies in the drive's current folder.
        return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    }
    // The root of a drive (C:\) or of the current drive (\) keeps its separator.
    bool root = slash == 0 || (slash == 2 && path[1] == ':');
    return path.substr(0, root ? slash + 1 : slash);
}

int OpenForReading(const std::string& path) { return OpenWide(path, _O_RDONLY); }

int OpenForAppending(const std::string& path, bool& created) {
    created = false;
    int fd = OpenWide(path, _O_WRONLY | _O_APPEND);
    if (fd < 0 && errno == ENOENT) {
        fd = OpenWide(path, _O_WRONLY | _O_APPEND | _O_CREAT | _O_EXCL);
        if (fd >= 0)
            created = true;
        else if (errno == EEXIST)
            fd = OpenWide(path, _O_WRONLY | _O_APPEND);
    }
    return fd;
}

std::optional<std::string> ForeignLinkOwner(const std::string&) {
    // Creating a symbolic link takes a privilege or developer mode there;
    // the link's owner is not what decides who may write through it.
    return std::nullopt;
}

int CreateUniqueFile(const std::string& folder, std::string& name) {
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937_64 random{std::random_device{}() ^ ::GetCurrentProcessId() ^ ::GetTickCount64()};
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
    std::string stem = folder;
    if (stem.back() != '/' && stem.back() != '\\' && stem.back() != ':') stem += '/';
    stem += kUniqueFilePrefix;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = stem;
        for (std::size_t i = 0; i < kUniqueFileLetters; ++i) candidate += kLetters[letter(random)];
        candidate += kUniqueFileSuffix;
        int fd = OpenWide(candidate, _O_RDWR | _O_CREAT | _O_EXCL);
        if (fd >= 0) {
            name = std::move(candidate);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

void RemoveStaleUniqueFiles(const std::string& folder, std::int64_t ageSeconds) {
    std::string stem = folder + "/";
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(Wide(stem + std::string(kUniqueFilePrefix) + "*").c_str(), FindExInfoBasic,
                                       &found, FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    do {
        // Links and junctions are reparse points: never followed, never removed.
        if (found.dwFileAttributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT))
            continue;
        std::string name = Utf8(found.cFileName);
        // File times count 100 ns; one from the future is never old.
        std::uint64_t age = static_cast<std::uint64_t>(ageSeconds) * 10'000'000u;
        if (!IsUniqueFileName(name) || FileTimeTicks(found.ftLastWriteTime) + age >= FileTimeTicks(now)) continue;
        std::wstring path = Wide(stem + name);
        // A file its writer still holds open refuses to be deleted.
        if (OwnedByUser(path)) ::DeleteFileW(path.c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

bool IsReadOnlyFile(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_READONLY);
}

// A new file takes the permissions its folder hands down; the one attribute
// that bars writing is refused before.
bool TakePermissionsOf(int, const std::string&) { return true; }

bool LockExclusive(int fd, bool wait) {
    HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) return false;
    // Locks on Windows bar reading and writing their bytes; one byte far past
    // any log's end locks no data.
    OVERLAPPED at{};
    at.Offset = kLockOffsetLow;
    at.OffsetHigh = kLockOffsetHigh;
    DWORD flags = wait ? DWORD{LOCKFILE_EXCLUSIVE_LOCK} : DWORD{LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY};
    if (::LockFileEx(handle, flags, 0, 1, 0, &at)) return true;
    SetErrnoFromLastError();
    return false;
}

bool Unlock(int fd) {
    HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) return false;
    OVERLAPPED at{};
    at.Offset = kLockOffsetLow;
    at.OffsetHigh = kLockOffsetHigh;
    if (::UnlockFileEx(handle, 0, 1, 0, &at)) return true;
    SetErrnoFromLastError();
    return false;
}

long ReadSome(int fd, void* bytes, std::size_t size) {
    return ::_read(fd, bytes, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

bool WriteAll(int fd, std::string_view bytes, std::size_t* written) {
    if (written) *written = 0;
    while (!bytes.empty()) {
        int n = ::_write(fd, bytes.data(), static_cast<unsigned>(std::min<std::size_t>(bytes.size(), INT_MAX)));
        if (n < 0) return false;
        if (n == 0) {
            errno = ENOSPC;  // the runtime's way of saying the disk is full
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
        if (written) *written += static_cast<std::size_t>(n);
    }
    return true;
}

std::optional<std::uint64_t> RegularFileSize(int fd) {
    struct _stat64 st {};
    if (::_fstat64(fd, &st) != 0 || (st.st_mode & _S_IFMT) != _S_IFREG) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

bool SeekTo(int fd, std::uint64_t offset) {
    return ::_lseeki64(fd, static_cast<__int64>(offset), SEEK_SET) == static_cast<__int64>(offset);
}

bool TruncateTo(int fd, std::uint64_t size) {
    errno = ::_chsize_s(fd, static_cast<__int64>(size));
    return errno == 0;
}

bool SyncToDisk(int fd) {
    HANDLE handle = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    if (handle == INVALID_HANDLE_VALUE) return false;  // errno set by the runtime
    if (::FlushFileBuffers(handle)) return true;
    SetErrnoFromLastError();
    return false;
}

bool Close(int fd) { return ::_close(fd) == 0; }

std::FILE* ReadStreamOf(int fd) { return ::_fdopen(fd, "rb"); }

bool RenameOver(const std::string& from, const std::string& to, bool durable) {
    DWORD flags = MOVEFILE_REPLACE_EXISTING | (durable ? MOVEFILE_WRITE_THROUGH : 0);
    if (::MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), flags)) return true;
    SetErrnoFromLastError();
    return false;
}

// MOVEFILE_WRITE_THROUGH already returned once the rename was on the disk.
bool SyncFolderOf(const std::string&) { return true; }

bool RemoveFile(const std::string& path) { return ::_wunlink(Wide(path).c_str()) == 0; }

std::optional<std::int64_t> ModificationTime(const std::string& path) {
    struct _stat64 st {};
    if (::_wstat64(Wide(path).c_str(), &st) != 0) return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

std::tm LocalTime(std::int64_t seconds) {
    __time64_t t = seconds;
    std::tm tm{};
    ::_localtime64_s(&tm, &t);
    return tm;
}

std::optional<std::vector<std::string>> RegularFileNames(const std::string& folder,
                                                         bool (*wanted)(std::string_view name)) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileExW(Wide(folder + "/*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        SetErrnoFromLastError();
        return std::nullopt;
    }
    do {
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) continue;
        std::string name = Utf8(found.cFileName);
        if (wanted(name)) names.push_back(std::move(name));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

std::vector<std::string> ProgramArguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    if (wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) args.push_back(Utf8(wide[i]));
        ::LocalFree(wide);
    }
    return args;
}

bool IsTerminal(std::FILE* stream) { return ::_isatty(::_fileno(stream)) != 0; }

std::filesystem::path ExecutableFile() {
    // The buffer grows until the name fits: paths may pass MAX_PATH.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) return std::filesystem::path(name.substr(0, length));
        name.resize(name.size() * 2);
    }
}

}  // namespace kel::os
