#include "common/SafeFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "common/Errors.h"
#include "common/PosixIo.h"

namespace kel {

namespace {

std::string FolderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes, std::string* error) {
    std::string name = FolderOf(path) + "/.kelview-XXXXXX";
    std::vector<char> tmpl(name.begin(), name.end());
    tmpl.push_back('\0');
    int fd = ::mkstemp(tmpl.data());
    auto fail = [&](bool removeTemp) {
        if (error) *error = std::strerror(errno);
        if (fd >= 0) ::close(fd);
        if (removeTemp) ::unlink(tmpl.data());
        return false;
    };
    if (fd < 0) return fail(false);
    // mkstemp makes the file private; give it the mode a plain create would.
    mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) return fail(true);
    // No fsync: a batch writes thousands of files, and rename-over-existing is
    // already ordered after the data by the file systems we run on.
    if (!WriteAll(fd, bytes)) return fail(true);
    int closed = ::close(fd);
    fd = -1;
    if (closed != 0) return fail(true);
    if (::rename(tmpl.data(), path.c_str()) != 0) return fail(true);
    return true;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw EFileError("Cannot open file \"" + path + "\": " + std::strerror(errno));
    std::ostringstream out;
    out << in.rdbuf();
    if (in.bad()) throw EFileError("Cannot read file \"" + path + "\"");
    return out.str();
}

}  // namespace kel
