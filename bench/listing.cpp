// Listing a folder of 10 000 zipped profiles by their header fields
// (TProfileListing::ListFolder), against the least any listing must do:
// open, read 64 bytes and close each file. The ratio is printed at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "browser/Kelbrows.h"

namespace {

using namespace kel;
namespace fs = std::filesystem;

constexpr int kProfiles = 10000;
constexpr int kSlots = 20;  // small files: the listing reads headers only

// The folder of profiles, made current as the listing makes it.
struct Setup {
    bench::ScratchFolder folder{"listing"};
    fs::path previous = fs::current_path();
    std::vector<std::string> names = bench::WriteZippedSeries(folder.Path(), kProfiles, kSlots);

    Setup() { fs::current_path(folder.Path()); }
    ~Setup() { fs::current_path(previous); }
};

Setup& Data() {
    static Setup setup;
    return setup;
}

void BM_ListFolder(benchmark::State& state) {
    const std::string folder = Data().folder.Path().string();
    TProfileListing listing;
    for (auto _ : state) listing.ListFolder(folder);
    if (listing.Entries.size() != static_cast<std::size_t>(kProfiles)) {
        std::cerr << listing.Entries.size() << " profiles listed, " << kProfiles << " expected\n";
        std::exit(1);
    }
    state.counters["files"] = static_cast<double>(listing.Entries.size());
}
BENCHMARK(BM_ListFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_OpenRead64Close(benchmark::State& state) {
    const std::vector<std::string>& names = Data().names;
    char head[64];
    for (auto _ : state) {
        for (const std::string& name : names) {
            int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0 || ::read(fd, head, sizeof head) != static_cast<ssize_t>(sizeof head)) {
                std::cerr << "cannot read " << name << '\n';
                std::exit(1);
            }
            ::close(fd);
        }
        benchmark::DoNotOptimize(head);
    }
    state.counters["files"] = static_cast<double>(names.size());
}
BENCHMARK(BM_OpenRead64Close)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    double listing = reporter.Seconds("BM_ListFolder"), plain = reporter.Seconds("BM_OpenRead64Close");
    if (listing > 0 && plain > 0)
        std::cout << "CPU time for " << kProfiles << " zipped profiles: listing " << listing * 1e3
                  << " ms, open + read 64 bytes + close " << plain * 1e3 << " ms, listing / plain = " << listing / plain
                  << '\n';
    std::cout << "peak resident memory: " << bench::PeakMemoryMiB() << " MiB\n";
    return 0;
}
