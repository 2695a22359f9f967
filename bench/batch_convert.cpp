// The batch conversion (BatchConvert) of a folder of 1000 generated legacy
// profiles with a 20-compound library: for each profile its worksheet, its
// ppb file and its lines in "AllFilesPpb.csv". Peer and limit: the same
// output bytes, read back after the batch, written with plain write calls to
// as many files: each worksheet in one write (it is replaced as a whole),
// the ppb lines one write per line into the profile's ppb file and into
// "AllFilesPpb.csv", which stays open (logs take one complete line per
// write). The ratio batch / plain writes is printed at the end.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "BenchServices.h"
#include "BenchSupport.h"
#include "app/KelViewSession.h"
#include "browser/Kelbrows.h"
#include "kinetics/KineticsLibrary.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"

namespace {

using namespace kel;
namespace fs = std::filesystem;

constexpr int kProfiles = 1000;
constexpr int kCompounds = 20;
constexpr int kLegacySlots = 201;

// The bytes of one profile's outputs.
struct ProfileOutputs {
    std::string worksheetName, worksheet, ppbName, ppb;
};

struct Setup {
    bench::ScratchFolder folder{"batch"};
    fs::path previous = fs::current_path();
    TProfileListing listing;
    TKelViewSession session{bench::BenchServices()};
    std::vector<ProfileOutputs> outputs;  // in batch order, once the batch has run

    Setup() {
        fs::path profiles = folder.Path() / "profiles";
        fs::create_directories(profiles);
        fs::create_directories(folder.Path() / "peer");
        for (int i = 0; i < kProfiles; ++i)
            synth::WriteLegacyFile((profiles / ("profile" + std::to_string(i) + ".kel")).string(),
                                   bench::SeriesProfile(i, kLegacySlots));
        KineticsLibrary().LoadText(synth::KineticsText(kCompounds));
        listing.ListFolder(profiles.string());
    }
    ~Setup() { fs::current_path(previous); }
};

Setup& Data() {
    static Setup setup;
    return setup;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Fail(const std::string& what) {
    std::cerr << what << '\n';
    std::exit(1);
}

void BM_BatchConvert(benchmark::State& state) {
    Setup& s = Data();
    for (auto _ : state) BatchConvert(s.listing, s.session);
    state.counters["profiles"] = static_cast<double>(s.listing.Entries.size());
}
BENCHMARK(BM_BatchConvert)->Unit(benchmark::kMillisecond)->Iterations(2);

// Reads the batch's outputs back (running the batch first when it has not
// run) and checks that "AllFilesPpb.csv" holds the profiles' ppb files in
// batch order.
const std::vector<ProfileOutputs>& Outputs() {
    Setup& s = Data();
    if (!s.outputs.empty()) return s.outputs;
    if (!fs::exists(kAllFilesPpbName)) BatchConvert(s.listing, s.session);
    std::string all;
    for (const TListEntry& entry : s.listing.Entries) {
        ProfileOutputs o{entry.Text + ".csv", "", entry.Text + "Ppb.csv", ""};
        o.worksheet = ReadFile(o.worksheetName);
        o.ppb = ReadFile(o.ppbName);
        all += o.ppb;
        s.outputs.push_back(std::move(o));
    }
    if (all != ReadFile(kAllFilesPpbName)) Fail(std::string(kAllFilesPpbName) + " is not the profiles' ppb lines in order");
    return s.outputs;
}

int OpenForWriting(const fs::path& path) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) Fail("cannot open " + path.string());
    return fd;
}

void WriteOnce(int fd, std::string_view bytes) {
    if (::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) Fail("short write");
}

void BM_PlainWrites(benchmark::State& state) {
    const std::vector<ProfileOutputs>& outputs = Outputs();
    fs::path peer = Data().folder.Path() / "peer";
    std::size_t bytes = 0;
    for (auto _ : state) {
        int all = OpenForWriting(peer / kAllFilesPpbName);
        for (const ProfileOutputs& o : outputs) {
            int worksheet = OpenForWriting(peer / o.worksheetName);
            WriteOnce(worksheet, o.worksheet);
            ::close(worksheet);
            int ppb = OpenForWriting(peer / o.ppbName);
            std::string_view rest = o.ppb;
            while (!rest.empty()) {
                std::string_view line = rest.substr(0, rest.find('\n') + 1);
                WriteOnce(ppb, line);
                WriteOnce(all, line);
                rest.remove_prefix(line.size());
            }
            ::close(ppb);
        }
        ::close(all);
    }
    for (const ProfileOutputs& o : outputs) bytes += o.worksheet.size() + 2 * o.ppb.size();
    state.counters["files"] = static_cast<double>(2 * outputs.size() + 1);
    state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_PlainWrites)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    double batch = reporter.Seconds("BM_BatchConvert"), plain = reporter.Seconds("BM_PlainWrites");
    if (batch > 0 && plain > 0)
        std::cout << "CPU time, batch of " << kProfiles << " profiles: " << batch * 1e3 << " ms, plain writes of its "
                  << 2 * kProfiles + 1 << " files: " << plain * 1e3 << " ms, batch / plain writes = " << batch / plain
                  << '\n';
    std::cout << "peak resident memory: " << bench::PeakMemoryMiB() << " MiB\n";
    return 0;
}
