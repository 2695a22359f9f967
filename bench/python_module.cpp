// The Python module against the C++ it calls: loading the 32767-slot zipped
// profile and computing its count rates (C++ here, kelview.load + rates() in
// python_module.py), the concentration series of 100 compounds from Python,
// and "results --format json" against "window" on the same profile. The
// script prints its own times; the ratios are printed at the end.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "BenchSupport.h"
#include "kinetics/Concentration.h"
#include "kinetics/Corrections.h"
#include "synth/KineticsGenerator.h"
#include "synth/ProfileGenerator.h"

namespace {

using namespace kel;

constexpr int kPoints = 32767;
constexpr int kCompounds = 100;

const std::filesystem::path& Folder() {
    static bench::ScratchFolder scratch("python");
    static const std::filesystem::path dir = [] {
        std::filesystem::path d = scratch.Path();
        synth::ProfileOptions options = synth::DefaultOptions(11);
        options.slots = kPoints;
        options.cycles = kPoints;
        TKel kel = synth::MakeProfile(options);
        if (!kel.SaveZipped((d / "large.kel").string())) std::abort();
        std::ofstream((d / "kinetics.txt").string()) << synth::KineticsText(kCompounds);
        return d;
    }();
    return dir;
}

// What kelview.load + rates() does in C++ alone: the load, then the
// corrected rates of every ion channel at every point.
void BM_LoadAndRates(benchmark::State& state) {
    const std::string path = (Folder() / "large.kel").string();
    for (auto _ : state) {
        TKel kel;
        if (!kel.LoadFromFile(path)) std::abort();
        TCorrectionState corrections = StartCorrectionRun(true, 0, kel);
        TLineRates lines(kel, 0);
        for (int c = 0; c < kel.nim / 2; ++c)
            benchmark::DoNotOptimize(
                lines.Line(c, CorrectionFor(kel, corrections, kel.IonMass[static_cast<std::size_t>(c)]), 0).Rates.data());
    }
}
BENCHMARK(BM_LoadAndRates)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    double seconds = reporter.Seconds("BM_LoadAndRates");
    if (seconds <= 0) return 0;
    std::filesystem::path script = std::filesystem::path(__FILE__).parent_path() / "python_module.py";
    std::string command = "PYTHONPATH='" KELVIEW_PYTHON_PACKAGE_DIR "' /usr/bin/python3 '" + script.string() + "' '" +
                          Folder().string() + "' '" KELVIEW_CLI_PROGRAM "' " + std::to_string(seconds);
    return std::system(command.c_str()) == 0 ? 0 : 1;
}
