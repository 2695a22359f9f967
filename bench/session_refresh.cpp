// One refresh of the main window's plot (TKelViewSession::RefreshPlot) on a
// zipped 32767-point profile of 29 rows opened as a user opens it: in ppb
// mode with 100 selected compounds, over the whole profile ("Select all")
// and over a window of 100 points, and in count-rate mode with 14 channels
// over the whole profile. Each case leaves its inputs and our results for
// the numpy peer (session_refresh_numpy.py), which after the benchmarks
// checks that it computes our curves and window means and times its own
// vectorised refresh; the ratio ours / numpy is printed at the end.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "BenchServices.h"
#include "BenchSupport.h"
#include "app/KelViewSession.h"
#include "kinetics/FlowTube.h"
#include "kinetics/KineticsLibrary.h"
#include "kinetics/WindowMeans.h"
#include "synth/KineticsGenerator.h"

namespace {

using namespace kel;

constexpr int kPoints = 32767;
// The demo library repeats its 16 compounds; the default channels measure
// every product of 10 of them, so 160 entries give 100 selected compounds.
constexpr int kLibraryEntries = 160;
constexpr int kSelected = 100;
constexpr int kSmallWindowStart = 1000;
constexpr int kSmallWindowPoints = 100;

enum class Case { PpbWholeProfile, PpbSmallWindow, CountRateWholeProfile };
constexpr Case kCases[] = {Case::PpbWholeProfile, Case::PpbSmallWindow, Case::CountRateWholeProfile};

// The name the case is registered under.
const char* CaseName(Case c) {
    switch (c) {
        case Case::PpbWholeProfile: return "ppb_whole_profile";
        case Case::PpbSmallWindow: return "ppb_100_points";
        case Case::CountRateWholeProfile: return "count_rate_whole_profile";
    }
    return "";
}

int SelectedCompounds() {
    int selected = 0;
    for (int i = 0; i < KineticsLibrary().Count(); ++i) selected += KineticsLibrary().Compound(i).SelectCount > 0;
    return selected;
}

// The profile saved zipped and opened, "ppb" pressed.
struct Setup {
    bench::ScratchFolder folder{"session"};
    TKelViewSession session{bench::BenchServices()};

    Setup() {
        std::string path = (folder.Path() / "long.kel").string();
        if (!bench::SeriesProfile(0, kPoints).SaveZipped(path)) {
            std::cerr << "cannot write " << path << '\n';
            std::exit(1);
        }
        KineticsLibrary().LoadText(synth::KineticsText(kLibraryEntries));
        session.ShowProfile(path);
        session.PressPpb();
        if (SelectedCompounds() != kSelected) {
            std::cerr << SelectedCompounds() << " compounds selected, " << kSelected << " expected\n";
            std::exit(1);
        }
    }
};

Setup& Data() {
    static Setup setup;
    return setup;
}

// The mode and selection of the case, refreshed, as the user's buttons leave them.
void Prepare(TKelViewSession& s, Case c) {
    if (c == Case::CountRateWholeProfile)
        s.ReleasePpb();
    else if (!s.PpbDown())
        s.PressPpb();
    if (c == Case::PpbSmallWindow) {  // a drag over points 1000..1099
        s.SelectTimes(kSmallWindowStart * s.PointTime(), (kSmallWindowStart + kSmallWindowPoints - 1) * s.PointTime());
    } else {
        s.SelectAllClick();
    }
}

void WriteDoubles(std::ofstream& out, const std::vector<double>& values) {
    out.write(reinterpret_cast<const char*>(values.data()), static_cast<std::streamsize>(sizeof(double) * values.size()));
}

// Where the case leaves the peer's inputs.
std::filesystem::path PeerInputs(Case c) { return Data().folder.Path() / CaseName(c); }

// Writes what the peer reads: the profile and run, the window, the selected
// compounds, the counts, and our curves and window means of the last refresh.
void WritePeerInputs(const TKelViewSession& s, Case c, const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    const TKel& k = s.Profile();
    auto [start, end] = s.SelectionToWindow(s.PointTime());
    std::ofstream json(dir / "inputs.json");
    json << "{\"mode\": \"" << (c == Case::CountRateWholeProfile ? "rate" : "ppb") << "\", \"start\": " << start
         << ", \"end\": " << end << ", \"nim\": " << k.nim << ", \"njm\": " << k.njm << ", \"jm\": " << k.jm
         << ", \"FScan\": " << bench::Number(k.FScan) << ", \"OutlierFilter\": " << k.OutlierFilter
         << ", \"OutlierPower\": " << bench::Number(k.OutlierPower) << ", \"p\": " << bench::Number(k.p)
         << ", \"fc\": " << bench::Number(k.fc) << ", \"f1\": " << bench::Number(k.f1)
         << ", \"Tg\": " << bench::Number(k.Tg) << ", \"Aft\": " << bench::Number(k.Aft)
         << ", \"lr\": " << bench::Number(k.lr) << ", \"f7\": " << bench::Number(k.f7)
         << ", \"f8\": " << bench::Number(k.f8) << ", \"De200\": " << bench::Number(k.De200)
         << ", \"Mr200\": " << bench::Number(k.Mr200) << ", \"Df73\": " << bench::Number(k.Df73)
         << ", \"Correct\": " << (s.CorrectDown() ? "true" : "false") << ", \"DeadTime\": " << bench::Number(s.DeadTime())
         << ",\n \"Name\": [";
    for (int r = 0; r < k.nim; ++r) json << (r ? ", \"" : "\"") << k.Name[static_cast<std::size_t>(r)] << '"';
    json << "],\n \"Cntm\": " << bench::List(k.Cntm, static_cast<std::size_t>(k.nim))
         << ",\n \"IonMass\": " << bench::List(k.IonMass, static_cast<std::size_t>(k.nim / 2)) << ",\n \"compounds\": [";
    const TKbase& library = KineticsLibrary();
    bool first = true;
    for (int i = 0; i < library.Count(); ++i) {
        const TKrecord& r = library.Compound(i);
        if (r.SelectCount == 0) continue;
        auto m = static_cast<std::size_t>(r.PrecursorCount), n = static_cast<std::size_t>(r.ProductCount);
        json << (first ? "\n  " : ",\n  ") << "{\"PrecursorMass\": " << bench::List(r.PrecursorMass, m)
             << ", \"RateCoefficient\": " << bench::List(r.RateCoefficient, m)
             << ", \"PrecursorWeight\": " << bench::List(r.PrecursorWeight, m)
             << ", \"ProductMass\": " << bench::List(r.ProductMass, n)
             << ", \"ProductWeight\": " << bench::List(r.ProductWeight, n) << "}";
        first = false;
    }
    json << "]}\n";

    std::ofstream counts(dir / "counts.bin", std::ios::binary);
    for (int row = 0; row < k.nim; ++row)
        counts.write(reinterpret_cast<const char*>(k.Counts[static_cast<std::size_t>(row)].data()),
                     static_cast<std::streamsize>(sizeof(std::int32_t) * static_cast<std::size_t>(k.njm)));

    std::ofstream curves(dir / "curves.bin", std::ios::binary);
    for (int i = 0; i < s.Graph1().Curves.Count(); ++i) {
        const std::vector<double>& y = s.Graph1().Curves[i]->Y;
        WriteDoubles(curves, std::vector<double>(y.begin(), y.begin() + k.njm));
    }

    std::vector<double> means;
    if (c == Case::CountRateWholeProfile) {
        TCorrectionState run{s.CorrectDown(), s.DeadTime(), k.OutlierFilter};
        double total = 0;
        for (int ch = 0; ch < IonChannelCount(k); ++ch) {
            means.push_back(ChannelWindowMean(k, run, ch, start, end));
            total += means.back();
        }
        means.push_back(total);
    } else {
        for (const TCompoundResult& r : s.CompoundResults())
            means.insert(means.end(), {r.MeanDensity, r.RelStdDev, r.Ppb, r.CountingError, r.WeightedProductRate,
                                       r.ProductCountSum, r.Mol});
    }
    std::ofstream meansFile(dir / "means.bin", std::ios::binary);
    WriteDoubles(meansFile, means);
}

void BM_RefreshPlot(benchmark::State& state, Case c) {
    TKelViewSession& s = Data().session;
    Prepare(s, c);
    for (auto _ : state) {
        s.RefreshPlot();
        benchmark::DoNotOptimize(s.Graph1().Curves.Count());
    }
    auto [start, end] = s.SelectionToWindow(s.PointTime());
    state.counters["curves"] = s.Graph1().Curves.Count();
    state.counters["window"] = end - start + 1;
    if (s.PpbDown()) state.counters["text_lines"] = static_cast<double>(s.IntermediateResults().size());
    WritePeerInputs(s, c, PeerInputs(c));
}
// A refresh over the whole profile takes seconds: one is enough.
BENCHMARK_CAPTURE(BM_RefreshPlot, ppb_whole_profile, Case::PpbWholeProfile)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_CAPTURE(BM_RefreshPlot, ppb_100_points, Case::PpbSmallWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_RefreshPlot, count_rate_whole_profile, Case::CountRateWholeProfile)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

// A user's edit of the dead time in ppb mode over 100 points, then its undo:
// both recompute the 100 compounds, and the undo should cost no more than
// the edit (the ratio undo / edit is reported as undo_over_edit).
void BM_UndoFieldEdit(benchmark::State& state) {
    TKelViewSession& s = Data().session;
    Prepare(s, Case::PpbSmallWindow);
    using Clock = std::chrono::steady_clock;
    Clock::duration edits{}, undos{};
    long steps = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        s.EditField(TFieldId::feDeadT, steps % 2 ? "0.0002" : "0.0001");
        const Clock::time_point edited = Clock::now();
        s.Undo();
        const Clock::time_point undone = Clock::now();
        edits += edited - start;
        undos += undone - edited;
        ++steps;
        benchmark::DoNotOptimize(s.Graph1().Comments.size());
    }
    const auto ms = [steps](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count() / static_cast<double>(steps); };
    state.counters["edit_ms"] = ms(edits);
    state.counters["undo_ms"] = ms(undos);
    state.counters["undo_over_edit"] = ms(undos) / ms(edits);
}
BENCHMARK(BM_UndoFieldEdit)->Unit(benchmark::kMillisecond)->MinTime(2.0);

struct PeerResult {
    double seconds = 0, maxRelative = 0;
};

PeerResult RunPeer(const std::filesystem::path& dir) {
    std::filesystem::path script = std::filesystem::path(__FILE__).parent_path() / "session_refresh_numpy.py";
    std::string out = (dir / "numpy.txt").string();
    std::string command = "/usr/bin/python3 '" + script.string() + "' '" + dir.string() + "' > '" + out + "'";
    if (std::system(command.c_str()) != 0) {
        std::cerr << "numpy peer failed (Debian python3 with python3-numpy needed): " << command << '\n';
        std::exit(1);
    }
    std::ifstream result(out);
    PeerResult peer;
    std::string key;
    while (result >> key) {
        if (key == "seconds") result >> peer.seconds;
        else if (key == "max_relative_difference") result >> peer.maxRelative;
    }
    return peer;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (Case c : kCases) {
        double ours = reporter.Seconds(std::string("BM_RefreshPlot/") + CaseName(c));
        if (ours <= 0) continue;
        PeerResult peer = RunPeer(PeerInputs(c));
        std::cout << CaseName(c) << ": CPU time per refresh, ours " << ours * 1e3 << " ms, numpy " << peer.seconds * 1e3
                  << " ms, ours / numpy = " << ours / peer.seconds
                  << ", largest relative difference of the results: " << peer.maxRelative << '\n';
    }
    std::cout << "peak resident memory: " << bench::PeakMemoryMiB() << " MiB\n";
    return 0;
}
