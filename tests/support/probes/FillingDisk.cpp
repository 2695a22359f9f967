#include "support/probes/FillingDisk.h"

#include <optional>
#include <utility>

namespace {
std::optional<std::size_t> g_room;
std::function<void()> g_whenFull;
}

#ifndef _WIN32
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern "C" ssize_t __real_write(int fd, const void* bytes, std::size_t size);

extern "C" ssize_t __wrap_write(int fd, const void* bytes, std::size_t size) {
    if (!g_room || fd <= STDERR_FILENO) return __real_write(fd, bytes, size);
    if (*g_room == 0 && size > 0) {
        if (auto whenFull = std::exchange(g_whenFull, nullptr)) {
            auto room = std::exchange(g_room, std::nullopt);
            whenFull();
            g_room = room;
        }
        errno = ENOSPC;
        return -1;
    }
    ssize_t written = __real_write(fd, bytes, std::min(size, *g_room));
    if (written > 0) *g_room -= static_cast<std::size_t>(written);
    return written;
}

#endif

namespace kel::test {

FillingDisk::FillingDisk(std::size_t room, std::function<void()> whenFull) {
    g_room = room;
    g_whenFull = std::move(whenFull);
}
FillingDisk::~FillingDisk() {
    g_room.reset();
    g_whenFull = nullptr;
}

}  // namespace kel::test
