// Start-up: from starting `kelview --quit-when-shown` on a demo profile to
// its first painted main window, against a bare Qt Widgets program that
// shows an empty QMainWindow (bench-bare-window), both on the offscreen
// platform, wall clock, started in turn in every iteration. The counter
// "kelview/bare" is the ratio (goal: at most 2.0). Settings go to a scratch
// home folder, so the user's own are neither read nor written.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

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

void BM_StartUp(benchmark::State& state) {
    static kel::bench::ScratchFolder home("startup-home");
    ::setenv("HOME", home.Path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home.Path() / ".config").c_str(), 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    Clock::duration ours{}, bare{};
    for (auto _ : state) {
        ours += Run({KELVIEW_PROGRAM, "--quit-when-shown", KELVIEW_DEMO_PROFILE});
        bare += Run({KELVIEW_BARE_WINDOW});
    }
    state.counters["kelview/bare"] = std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(bare).count();
}
BENCHMARK(BM_StartUp)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

BENCHMARK_MAIN();
