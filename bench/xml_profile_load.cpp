// Loading a large zipped profile (njm = 32767, 29 rows in use, counts up to
// 10^6) with LoadFromFile, against the best library route doing the same
// work: zlib inflate + CRC check, pugixml parse, every count into arrays.
// After the timings each route runs once more in a child process whose peak
// resident memory is reported.
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "common/Errors.h"
#include "profile/Kel.h"

#ifdef KELVIEW_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

namespace {

constexpr int kSlots = 32767;

std::string ProfilePath() {
    return (std::filesystem::temp_directory_path() / ("kelview-bench-" + std::to_string(::getpid()) + ".kel")).string();
}

void MakeProfileFile(const std::string& path) {
    kel::TKel kel;
    kel.SetArrays(28, kSlots);
    kel.nim = 29;
    kel.njm = kSlots;
    kel.jm = kSlots;
    kel.p = 0.72;
    kel.f6 = 500;
    kel.DateOrigin = 46000.5;
    kel.ion = "H3O+";
    std::uint32_t x = 2463534242u;
    for (std::size_t r = 0; r < 29; ++r) {
        kel.Name[r] = std::to_string(17 + 2 * r);
        kel.Cntm[r] = 100;
        for (std::size_t s = 0; s < static_cast<std::size_t>(kSlots); ++s) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            kel.Counts[r][s] = static_cast<std::int32_t>(x % 1000001u);
        }
    }
    for (std::size_t s = 0; s < static_cast<std::size_t>(kSlots); ++s) kel.Times[s] = static_cast<std::int32_t>(s);
    if (!kel.SaveZipped(path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
}

const std::string& Path() {
    static const std::string path = [] {
        std::string p = ProfilePath();
        MakeProfileFile(p);
        return p;
    }();
    return path;
}

std::int64_t LoadOurs(kel::TKel& kel, const std::string& path) {
    kel.LoadFromFile(path);
    return kel.Counts[28][kSlots - 1];
}

#ifdef KELVIEW_HAVE_PUGIXML
// The arrays a profile reader fills, as plain vectors.
struct PeerProfile {
    int nim = 0, njm = 0, im = 0, jm = 0;
    double header[20] = {};
    std::string ion, reactant, comment, systemId;
    std::vector<std::string> name = std::vector<std::string>(29);
    std::vector<int> dam = std::vector<int>(29), cntm = std::vector<int>(29);
    std::vector<std::vector<std::int32_t>> counts = std::vector<std::vector<std::int32_t>>(29);
    std::vector<std::int32_t> times;
};

// The fastest standard conversion (no locale, no errno).
std::int32_t ToInt(const char* text) {
    std::int32_t value = 0;
    std::from_chars(text, text + std::strlen(text), value);
    return value;
}

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Member 0 of the archive, inflated and CRC-checked.
std::string InflateFirstMember(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string file(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(file.data(), static_cast<std::streamsize>(file.size()));
    auto* h = reinterpret_cast<const unsigned char*>(file.data());
    std::uint32_t crc = Le32(h + 14), packed = Le32(h + 18), size = Le32(h + 22);
    std::size_t data = 30 + (h[26] | (h[27] << 8)) + (h[28] | (h[29] << 8));
    std::string out(size, '\0');
    z_stream z{};
    inflateInit2(&z, -MAX_WBITS);
    z.next_in = reinterpret_cast<Bytef*>(file.data() + data);
    z.avail_in = packed;
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = size;
    inflate(&z, Z_FINISH);
    inflateEnd(&z);
    if (crc32_z(0, reinterpret_cast<const Bytef*>(out.data()), out.size()) != crc) std::abort();
    return out;
}

std::int64_t LoadPeer(PeerProfile& p, const std::string& path) {
    std::string text = InflateFirstMember(path);
    pugi::xml_document doc;
    if (!doc.load_buffer_inplace(text.data(), text.size(), pugi::parse_minimal)) std::abort();
    pugi::xml_node kel = doc.child("kel");
    p.nim = kel.child("nim").text().as_int();
    p.njm = kel.child("njm").text().as_int();
    p.im = kel.child("im").text().as_int();
    p.jm = kel.child("jm").text().as_int();
    const char* reals[] = {"p",  "fc", "f1", "FScan", "ts", "De200", "Mr200", "Df73", "Tg", "Aft",
                           "lr", "f4", "f5", "f6",    "f7", "f8",    "DateOrigin"};
    for (std::size_t i = 0; i < std::size(reals); ++i) p.header[i] = kel.child(reals[i]).text().as_double();
    p.ion = kel.child_value("ion");
    p.reactant = kel.child_value("reactant");
    p.comment = kel.child_value("comment");
    p.systemId = kel.child_value("SystemId");
    auto slots = static_cast<std::size_t>(p.njm);
    std::size_t r = 0;
    for (pugi::xml_node ion : kel.child("Ions").children()) {
        if (r == 29) break;
        p.name[r] = ion.child_value("Name");
        p.dam[r] = ion.child("Dam").text().as_int();
        p.cntm[r] = ion.child("Cntm").text().as_int();
        std::vector<std::int32_t>& row = p.counts[r];
        row.resize(slots);
        std::size_t s = 0;
        for (pugi::xml_node c : ion.child("Counts").children()) {
            if (s == slots) break;
            row[s++] = ToInt(c.child_value());
        }
        ++r;
    }
    p.times.resize(slots);
    std::size_t s = 0;
    for (pugi::xml_node t : kel.child("Times").children()) {
        if (s == slots) break;
        p.times[s++] = ToInt(t.child_value());
    }
    return p.counts[28][slots - 1];
}
#endif

void BM_LoadFromFile_Zipped(benchmark::State& state) {
    kel::TKel kel;
    for (auto _ : state) benchmark::DoNotOptimize(LoadOurs(kel, Path()));
}
BENCHMARK(BM_LoadFromFile_Zipped)->Unit(benchmark::kMillisecond)->MinTime(2.0);

#ifdef KELVIEW_HAVE_PUGIXML
void BM_ZlibPugixml_Zipped(benchmark::State& state) {
    PeerProfile peer;
    for (auto _ : state) benchmark::DoNotOptimize(LoadPeer(peer, Path()));
}
BENCHMARK(BM_ZlibPugixml_Zipped)->Unit(benchmark::kMillisecond)->MinTime(2.0);
#endif

void BM_LoadFromFile_ZippedHeaderOnly(benchmark::State& state) {
    for (auto _ : state) {
        kel::TKelDetails details;
        details.HeaderOnly = true;
        details.LoadFromFile(Path());
        benchmark::DoNotOptimize(details.ProfileDate);
    }
}
BENCHMARK(BM_LoadFromFile_ZippedHeaderOnly)->Unit(benchmark::kMicrosecond);

// The peak resident memory of this process's image (VmHWM), in KiB. It
// starts afresh with exec, unlike getrusage, which keeps the parent's peak.
long PeakKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

// One load in a fresh process: its peak resident memory in KiB.
long ChildPeakKiB(const char* route, const std::string& path) {
    std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string command = "'" + self + "' --peak-child " + route + " '" + path + "'";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return -1;
    long kib = -1;
    if (std::fscanf(pipe, "%ld", &kib) != 1) kib = -1;
    ::pclose(pipe);
    return kib;
}

int RunPeakChild(const std::string& route, const std::string& path) {
    if (route == "ours") {
        kel::TKel kel;
        LoadOurs(kel, path);
    }
#ifdef KELVIEW_HAVE_PUGIXML
    if (route == "pugixml") {
        PeerProfile peer;
        LoadPeer(peer, path);
    }
#endif
    std::printf("%ld\n", PeakKiB());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--peak-child") == 0) return RunPeakChild(argv[2], argv[3]);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const std::string& path = Path();
    std::printf("\nprofile file: %ju bytes zipped\n", static_cast<std::uintmax_t>(std::filesystem::file_size(path)));
    long base = ChildPeakKiB("none", path);
    long ours = ChildPeakKiB("ours", path);
    std::printf("peak resident memory of one load (MiB, above an idle child of %.1f MiB):\n", base / 1024.0);
    std::printf("  LoadFromFile           %7.1f\n", (ours - base) / 1024.0);
#ifdef KELVIEW_HAVE_PUGIXML
    long peer = ChildPeakKiB("pugixml", path);
    std::printf("  zlib + pugixml route   %7.1f\n", (peer - base) / 1024.0);
#endif
    std::filesystem::remove(path);
    return 0;
}
