#pragma once
// A file system that fills up: while a FillingDisk lives, writes to files
// (every descriptor but the standard ones) take `room` bytes in all and then
// fail with ENOSPC, a write that reaches the limit being cut short as a full
// disk cuts it. The test program links with -Wl,--wrap=write; on Windows,
// whose C runtime cannot be wrapped so, the disk never fills (kFillingDisk
// says whether it does).
#include <cstddef>
#include <functional>

namespace kel::test {

#ifdef _WIN32
constexpr bool kFillingDisk = false;
#else
constexpr bool kFillingDisk = true;
#endif

class FillingDisk {
public:
    // `whenFull` runs once, when a write is first refused, before the write
    // returns its failure and with the disk not filling meanwhile: what other
    // processes do while this one is in its write.
    explicit FillingDisk(std::size_t room, std::function<void()> whenFull = {});
    ~FillingDisk();
    FillingDisk(const FillingDisk&) = delete;
    FillingDisk& operator=(const FillingDisk&) = delete;
};

}  // namespace kel::test
