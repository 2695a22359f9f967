#include "FillingDisk.h"

#include <optional>

namespace {
std::optional<std::size_t> g_room;
}

#ifndef _WIN32
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern "C" ssize_t __real_write(int fd, const void* bytes, std::size_t size);

extern "C" ssize_t __wrap_write(int fd, const void* bytes, std::size_t size) {
    if (!g_room || fd <= STDERR_FILENO) return __real_write(fd, bytes, size);
    if (*g_room == 0 && size > 0) {
        errno = ENOSPC;
        return -1;
    }
    ssize_t written = __real_write(fd, bytes, std::min(size, *g_room));
    if (written > 0) *g_room -= static_cast<std::size_t>(written);
    return written;
}

#endif

namespace kel::test {

FillingDisk::FillingDisk(std::size_t room) { g_room = room; }
FillingDisk::~FillingDisk() { g_room.reset(); }

}  // namespace kel::test
