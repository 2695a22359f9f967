// A study's summary and the batch on one thread and on two: the summary of
// 2000 demo-sized profiles (ppb mode, whole window) against opening each
// profile and running its window calculation in one session, and the batch
// of 1000 profiles. Wall time, since the point is the second core; the
// outputs of one and two threads are checked to be byte-identical. The
// ratios are printed at the end, those of one thread also in the process's
// CPU time, which a loaded machine disturbs far less.
#include <benchmark/benchmark.h>

#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>

#include "BenchServices.h"
#include "BenchSupport.h"
#include "app/KelViewSession.h"
#include "browser/Kelbrows.h"
#include "browser/StudySummary.h"
#include "kinetics/KineticsLibrary.h"
#include "synth/KineticsGenerator.h"
#include "synth/LegacyWriter.h"

namespace {

using namespace kel;
namespace fs = std::filesystem;

constexpr int kSummaryProfiles = 2000;
constexpr int kBatchProfiles = 1000;
constexpr int kCompounds = 20;

std::map<std::string, double> g_wall;  // seconds per iteration, by benchmark
std::map<std::string, double> g_cpu;   // the process's CPU seconds per iteration, by benchmark

double ProcessCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

struct Study {
    bench::ScratchFolder folder{"summary"};
    fs::path previous = fs::current_path();
    std::vector<std::string> paths;
    Study() {
        fs::create_directories(folder.Path() / "study");
        for (int i = 0; i < kSummaryProfiles; ++i)
            synth::WriteLegacyFile((folder.Path() / "study" / ("profile" + std::to_string(i) + ".kel")).string(),
                                   bench::SeriesProfile(i, 201));
        KineticsLibrary().LoadText(synth::KineticsText(kCompounds));
        std::vector<TIoResult> failures;
        paths = StudyProfiles({(folder.Path() / "study").string()}, failures);
    }
    ~Study() { fs::current_path(previous); }
};

Study& Data() {
    static Study study;
    return study;
}

void OpenAsWindow(TKelViewSession& session, const std::string& path) {
    session.ShowProfile(path);
    if (!session.PpbDown()) session.BtnPpbClick();
    session.SelectAllClick();
}

TSummarySetup Setup() {
    TSummarySetup setup;
    setup.newSession = [] {
        auto s = std::make_unique<TKelViewSession>(bench::BenchServices());
        s->UseOwnLibrary(KineticsLibrary());
        return s;
    };
    setup.open = [](TKelViewSession& session, const std::string& path) {
        OpenAsWindow(session, path);
        return TIoResult::Success();
    };
    return setup;
}

void Time(benchmark::State& state, const std::string& name, const std::function<void()>& run) {
    double total = 0, cpu = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        double cpuStart = ProcessCpuSeconds();
        run();
        cpu += ProcessCpuSeconds() - cpuStart;
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    g_wall[name] = total / static_cast<double>(state.iterations());
    g_cpu[name] = cpu / static_cast<double>(state.iterations());
}

void BM_OpenAndWindow(benchmark::State& state) {
    Study& s = Data();
    TKelViewSession session{bench::BenchServices()};
    session.UseOwnLibrary(KineticsLibrary());
    Time(state, "open", [&] {
        for (const std::string& path : s.paths) OpenAsWindow(session, path);
    });
}
BENCHMARK(BM_OpenAndWindow)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

std::map<int, std::string> g_tables;

void BM_Summary(benchmark::State& state) {
    Study& s = Data();
    int jobs = static_cast<int>(state.range(0));
    Time(state, "summary" + std::to_string(jobs),
         [&] { g_tables[jobs] = SummaryCsv(SummariseStudy(s.paths, Setup(), jobs).rows); });
}
BENCHMARK(BM_Summary)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::map<int, std::map<std::string, std::string>> g_batchOutputs;

void BM_Batch(benchmark::State& state) {
    Study& s = Data();
    int jobs = static_cast<int>(state.range(0));
    fs::path folder = s.folder.Path() / ("batch" + std::to_string(jobs));
    fs::create_directories(folder);
    for (int i = 0; i < kBatchProfiles; ++i)
        fs::copy_file(s.paths[static_cast<std::size_t>(i)], folder / fs::path(s.paths[static_cast<std::size_t>(i)]).filename(),
                      fs::copy_options::overwrite_existing);
    TProfileListing listing;
    listing.ListFolder(folder.string());
    TKelViewSession session{bench::BenchServices()};
    TBatchJobs threads{jobs, [] {
                           auto own = std::make_unique<TKelViewSession>(bench::BenchServices());
                           own->UseOwnLibrary(KineticsLibrary());
                           return own;
                       }};
    Time(state, "batch" + std::to_string(jobs), [&] { BatchConvert(listing, session, {}, threads); });
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".csv") g_batchOutputs[jobs][entry.path().filename().string()] = ReadFile(entry.path());
    fs::current_path(s.previous);
}
BENCHMARK(BM_Batch)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(2)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    auto ratio = [](const std::string& a, const std::string& b) {
        return g_wall.count(a) && g_wall.count(b) && g_wall[b] > 0 ? g_wall[a] / g_wall[b] : 0.0;
    };
    std::cout << "wall time, summary of " << kSummaryProfiles << " profiles: --jobs 1 / --jobs 2 = "
              << ratio("summary1", "summary2") << "; --jobs 1 / opening and window calculation = "
              << ratio("summary1", "open") << '\n';
    if (g_cpu.count("summary1") && g_cpu.count("open") && g_cpu["open"] > 0)
        std::cout << "CPU time, summary --jobs 1 / opening and window calculation = "
                  << g_cpu["summary1"] / g_cpu["open"] << " (" << g_cpu["summary1"] * 1e3 / kSummaryProfiles
                  << " ms against " << g_cpu["open"] * 1e3 / kSummaryProfiles << " ms per profile)\n";
    if (g_cpu.count("batch1") && g_cpu.count("batch2") && g_cpu["batch1"] > 0)
        std::cout << "CPU time, batch --jobs 2 / --jobs 1 = " << g_cpu["batch2"] / g_cpu["batch1"]
                  << " (the threads' overhead; the wall-time ratio above is the scaling)\n";
    std::cout << "wall time, batch of " << kBatchProfiles << " profiles: --jobs 1 / --jobs 2 = "
              << ratio("batch1", "batch2") << '\n';
    if (g_tables.size() == 2 && g_tables[1] != g_tables[2]) {
        std::cerr << "the summaries of one and two threads differ\n";
        return 1;
    }
    if (g_batchOutputs.size() == 2 && g_batchOutputs[1] != g_batchOutputs[2]) {
        std::cerr << "the batch outputs of one and two threads differ\n";
        return 1;
    }
    std::cout << "outputs of one and two threads: identical\n";
    return 0;
}
