// Start-up: from starting `kelview --quit-when-shown` on a demo profile to
// its first painted main window, against a bare Qt Widgets program that
// shows an empty QMainWindow (bench-bare-window), both on the offscreen
// platform, wall clock, started in turn in every iteration after one unmeasured
// pair that fills the file cache. The counter "kelview/bare" is the ratio of
// the median times (goal: at most 2.0): on a shared machine a single stalled
// start would otherwise decide the mean. Settings go to a scratch home
// folder, so the user's own are neither read nor written.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "BenchSupport.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Runs argv to its end; the wall-clock time it took.
Clock::duration Run(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
        std::cerr << "cannot start " << args[0] << '\n';
        std::exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::cerr << args[0] << " failed\n";
        std::exit(1);
    }
    return Clock::now() - start;
}

double MedianMilliseconds(std::vector<Clock::duration> times) {
    std::sort(times.begin(), times.end());
    const std::size_t n = times.size();
    const Clock::duration middle = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    return std::chrono::duration<double, std::milli>(middle).count();
}

void BM_StartUp(benchmark::State& state) {
    static kel::bench::ScratchFolder home("startup-home");
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home.Path() / ".config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::vector<std::string> kelview{KELVIEW_PROGRAM, "--quit-when-shown", KELVIEW_DEMO_PROFILE};
    const std::vector<std::string> bareWindow{KELVIEW_BARE_WINDOW};
    Run(kelview);
    Run(bareWindow);
    std::vector<Clock::duration> ours, bare;
    for (auto _ : state) {
        ours.push_back(Run(kelview));
        bare.push_back(Run(bareWindow));
    }
    const double oursMs = MedianMilliseconds(ours), bareMs = MedianMilliseconds(bare);
    state.counters["kelview_ms"] = oursMs;
    state.counters["bare_ms"] = bareMs;
    state.counters["kelview/bare"] = oursMs / bareMs;
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(40);

}  // namespace

BENCHMARK_MAIN();
