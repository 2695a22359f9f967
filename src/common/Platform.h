#pragma once
// The operating-system calls of the core, one implementation per system
// (platform/PosixPlatform.cpp, platform/WindowsPlatform.cpp). Paths are UTF-8
// on every system. Files are plain descriptors opened in binary mode; a call
// that fails leaves errno set, so every message names the system's reason
// the same way.
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kel::os {

// The path of a UTF-8 name, for std::filesystem and the file streams.
std::filesystem::path PathOf(std::string_view utf8);

// A path's name as UTF-8.
std::string Utf8Of(const std::filesystem::path& path);

// The folder part of a path: "." for a bare name, the root for a file in it.
std::string FolderOf(const std::string& path);

// Opens an existing file for reading, never waiting for a writer (a pipe
// someone left in a folder); -1 on failure.
int OpenForReading(const std::string& path);

// Opens a file for appending, creating it when missing (`created` tells
// which); a file another program creates meanwhile is appended to. A
// symbolic link is followed only when this user owns it, and never a link
// in its target's place. -1 on failure.
int OpenForAppending(const std::string& path, bool& created);

// Who owns path when it is a symbolic link of another user ("name (uid N)"),
// nothing otherwise; a link that cannot be examined is nobody's.
std::optional<std::string> ForeignLinkOwner(const std::string& path);

// Creates a new empty file named `folder`/.kelview-XXXXXX.part (X random
// letters and digits) for writing, with the permissions a plain new file
// gets; -1 on failure, otherwise `name` receives its path. While it is open
// no RemoveStaleUniqueFiles removes it.
int CreateUniqueFile(const std::string& folder, std::string& name);

// The parts of the names CreateUniqueFile makes around their random letters.
inline constexpr std::string_view kUniqueFilePrefix = ".kelview-";
inline constexpr std::string_view kUniqueFileSuffix = ".part";
inline constexpr std::size_t kUniqueFileLetters = 6;

// True for a name CreateUniqueFile makes, and for no other.
bool IsUniqueFileName(std::string_view name);

// Removes the files in `folder` named as CreateUniqueFile names them that
// are regular files (a link is never followed), belong to the user, were last
// changed more than `ageSeconds` ago and are open in no live process: what
// writers that were killed left behind. Whatever cannot be removed stays.
void RemoveStaleUniqueFiles(const std::string& folder, std::int64_t ageSeconds);

// True when an existing file may not be written by the user: its permissions
// (on Windows its read-only attribute) deny it, or grant writing to nobody,
// which binds even the superuser. False for a missing file.
bool IsReadOnlyFile(const std::string& path);

// Gives the open file `fd` the permission bits and, where the user may, the
// group of the existing file at `path` (on Windows, where a new file takes
// its folder's, nothing); true also when there is no such file.
bool TakePermissionsOf(int fd, const std::string& path);

// Takes the exclusive advisory lock of an open file, which every writer of
// ours holds while it appends (flock on POSIX, LockFileEx on Windows); with
// `wait` it waits until the lock is free, otherwise it fails at once when
// another holds it. False on failure (no locks on the file system included).
bool LockExclusive(int fd, bool wait);

// Releases the lock; closing the file releases it as well.
bool Unlock(int fd);

// Reads up to `size` bytes: their count, 0 at the end, -1 on failure.
// Interrupted reads are retried.
long ReadSome(int fd, void* bytes, std::size_t size);

// Writes all bytes, retrying short and interrupted writes; false on failure.
// `written` receives how many reached the file, on failure too.
bool WriteAll(int fd, std::string_view bytes, std::size_t* written = nullptr);

// The size of a regular file; empty for anything else or when unknown.
std::optional<std::uint64_t> RegularFileSize(int fd);

// Moves the position to `offset` from the start; false on failure.
bool SeekTo(int fd, std::uint64_t offset);

// Cuts the file to `size` bytes; false on failure.
bool TruncateTo(int fd, std::uint64_t size);

// Returns once the file's data and size are on the disk; false on failure.
bool SyncToDisk(int fd);

// Closes the descriptor; false when the system reports a failure.
bool Close(int fd);

// A stdio stream reading from fd, which then belongs to the stream; null on
// failure (fd stays open then).
std::FILE* ReadStreamOf(int fd);

// Renames `from` over `to` in one step, replacing an existing file; with
// `durable` the new name reaches the disk on systems that can say so in the
// rename itself (Windows). False on failure, and `to` is then untouched.
bool RenameOver(const std::string& from, const std::string& to, bool durable);

// Returns once the names in the folder holding `path` are on the disk (a
// rename into it included); false on failure.
bool SyncFolderOf(const std::string& path);

// Removes a file; false on failure.
bool RemoveFile(const std::string& path);

// A file's last modification time in seconds since 1970; empty when it
// cannot be examined.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// The local calendar time of seconds since 1970.
std::tm LocalTime(std::int64_t seconds);

// The names of the regular files (or links to them) in `folder` for which
// `wanted` holds, in the folder's order; nothing (errno tells why) when the
// folder cannot be read. `wanted` is asked first, so only wanted names cost a
// status call where the folder does not record file types.
std::optional<std::vector<std::string>> RegularFileNames(const std::string& folder, bool (*wanted)(std::string_view name));

// The program's arguments after its name, as UTF-8: on Windows from the
// wide-character command line, which the code page of argv may not hold.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// True when the stream writes to a terminal (a console on Windows).
bool IsTerminal(std::FILE* stream);

// The absolute path of the running program's executable file; empty when
// the system does not say.
std::filesystem::path ExecutableFile();

}  // namespace kel::os
