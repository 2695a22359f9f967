// The plot's concentration curves: the series of 100 compounds over a
// 32767-point profile of 29 rows, corrections on. After the benchmark the
// same inputs go to the numpy peer (kinetics_concentration_numpy.py), which
// checks that it computes our numbers and times its own vectorised version;
// the ratio ours / numpy is printed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "kinetics/Concentration.h"
#include "kinetics/FlowTube.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace {

using namespace kel;
using bench::List;
using bench::Number;

constexpr int kCompounds = 100;
constexpr int kPoints = 32767;

struct Inputs {
    TKel kel;
    TKbase library;
    TCorrectionState state;
};

Inputs& Data() {
    static Inputs* inputs = [] {
        auto* in = new Inputs;
        synth::ProfileOptions options = synth::DefaultOptions(11);
        options.slots = kPoints;
        options.cycles = kPoints;
        in->kel = synth::MakeProfile(options);
        in->kel.Mr200 = 5;
        in->kel.Df73 = 1;
        in->library.LoadText(synth::KineticsText(kCompounds));
        in->state = StartCorrectionRun(true, 0.02, in->kel);
        return in;
    }();
    return *inputs;
}

void BM_ConcentrationSeries(benchmark::State& state) {
    Inputs& in = Data();
    std::vector<std::vector<double>> series(static_cast<std::size_t>(in.library.Count()));
    for (auto _ : state) {
        for (int c = 0; c < in.library.Count(); ++c)
            ConcentrationSeries(in.kel, in.state, in.library.Compound(c), series[static_cast<std::size_t>(c)]);
        benchmark::DoNotOptimize(series.data());
        benchmark::ClobberMemory();
    }
    state.counters["compounds"] = in.library.Count();
    state.counters["points"] = in.kel.njm;
}
BENCHMARK(BM_ConcentrationSeries)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Writes the profile, the library and our series where the peer reads them.
void WritePeerInputs(const std::filesystem::path& dir) {
    Inputs& in = Data();
    const TKel& k = in.kel;
    std::ofstream json(dir / "inputs.json");
    json << "{\"nim\": " << k.nim << ", \"njm\": " << k.njm << ", \"jm\": " << k.jm << ", \"FScan\": " << Number(k.FScan)
         << ", \"OutlierFilter\": " << k.OutlierFilter << ", \"OutlierPower\": " << Number(k.OutlierPower)
         << ", \"p\": " << Number(k.p) << ", \"fc\": " << Number(k.fc) << ", \"f1\": " << Number(k.f1)
         << ", \"Tg\": " << Number(k.Tg) << ", \"Aft\": " << Number(k.Aft) << ", \"lr\": " << Number(k.lr)
         << ", \"f7\": " << Number(k.f7) << ", \"f8\": " << Number(k.f8) << ", \"De200\": " << Number(k.De200)
         << ", \"Mr200\": " << Number(k.Mr200) << ", \"Df73\": " << Number(k.Df73)
         << ", \"Correct\": " << (in.state.Correct ? "true" : "false") << ", \"DeadTime\": " << Number(in.state.DeadTime)
         << ",\n \"Cntm\": " << List(k.Cntm, static_cast<std::size_t>(k.nim))
         << ",\n \"IonMass\": " << List(k.IonMass, static_cast<std::size_t>(k.nim / 2)) << ",\n \"compounds\": [";
    for (int c = 0; c < in.library.Count(); ++c) {
        const TKrecord& r = in.library.Compound(c);
        auto m = static_cast<std::size_t>(r.PrecursorCount), n = static_cast<std::size_t>(r.ProductCount);
        json << (c ? ",\n  " : "\n  ") << "{\"PrecursorMass\": " << List(r.PrecursorMass, m)
             << ", \"RateCoefficient\": " << List(r.RateCoefficient, m)
             << ", \"PrecursorWeight\": " << List(r.PrecursorWeight, m) << ", \"ProductMass\": " << List(r.ProductMass, n)
             << ", \"ProductWeight\": " << List(r.ProductWeight, n) << "}";
    }
    json << "]}\n";

    std::ofstream counts(dir / "counts.bin", std::ios::binary);
    for (int row = 0; row < k.nim; ++row)
        counts.write(reinterpret_cast<const char*>(k.Counts[static_cast<std::size_t>(row)].data()),
                     static_cast<std::streamsize>(sizeof(std::int32_t) * static_cast<std::size_t>(k.njm)));

    std::ofstream ours(dir / "ours.bin", std::ios::binary);
    std::vector<double> series;
    for (int c = 0; c < in.library.Count(); ++c) {
        ConcentrationSeries(k, in.state, in.library.Compound(c), series);
        ours.write(reinterpret_cast<const char*>(series.data()),
                   static_cast<std::streamsize>(sizeof(double) * series.size()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    double seconds = reporter.Seconds("BM_ConcentrationSeries");
    if (seconds <= 0) return 0;

    std::filesystem::path dir = std::filesystem::temp_directory_path() / "kelview-bench-concentration";
    std::filesystem::create_directories(dir);
    WritePeerInputs(dir);
    std::filesystem::path script = std::filesystem::path(__FILE__).parent_path() / "kinetics_concentration_numpy.py";
    std::string out = (dir / "numpy.txt").string();
    std::string command = "/usr/bin/python3 '" + script.string() + "' '" + dir.string() + "' > '" + out + "'";
    if (std::system(command.c_str()) != 0) {
        std::cerr << "numpy peer failed (Debian python3 with python3-numpy needed): " << command << '\n';
        return 1;
    }
    std::ifstream result(out);
    double numpySeconds = 0, maxRelative = 0;
    std::string key;
    while (result >> key) {
        if (key == "seconds") result >> numpySeconds;
        else if (key == "max_relative_difference") result >> maxRelative;
    }
    std::filesystem::remove_all(dir);
    std::cout << "CPU time, ours: " << seconds * 1e3 << " ms per 100 series, numpy: " << numpySeconds * 1e3
              << " ms, ours / numpy = " << seconds / numpySeconds
              << ", largest relative difference of the results: " << maxRelative << '\n';
    return 0;
}
