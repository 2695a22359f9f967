#pragma once
// A file system that fills up: while a FillingDisk lives, writes to files
// (every descriptor but the standard ones) take `room` bytes in all and then
// fail with ENOSPC, a write that reaches the limit being cut short as a full
// disk cuts it. The test program links with -Wl,--wrap=write; on Windows,
// whose C runtime cannot be wrapped so, the disk never fills (kFillingDisk
// says whether it does).
#include <cstddef>

namespace kel::test {

#ifdef _WIN32
constexpr bool kFillingDisk = false;
#else
constexpr bool kFillingDisk = true;
#endif

class FillingDisk {
public:
    explicit FillingDisk(std::size_t room);
    ~FillingDisk();
    FillingDisk(const FillingDisk&) = delete;
    FillingDisk& operator=(const FillingDisk&) = delete;
};

}  // namespace kel::test
