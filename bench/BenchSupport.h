#pragma once
// What the session, batch and listing benchmarks share: CPU time per
// iteration by benchmark name (the machine is shared, so wall time would
// measure the neighbours too), a scratch folder that is removed afterwards,
// a day's series of generated profiles, numbers as exact text for the numpy
// peer and the process's peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "synth/ProfileGenerator.h"

namespace kel::bench {

class CpuTimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds_[run.run_name.function_name] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations);
        ConsoleReporter::ReportRuns(runs);
    }
    // CPU seconds per iteration of the benchmark registered as `name`; 0 when it did not run.
    double Seconds(const std::string& name) const {
        auto it = seconds_.find(name);
        return it == seconds_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> seconds_;
};

// A fresh folder under the temporary folder, removed with everything in it
// when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& purpose)
        : path_(std::filesystem::temp_directory_path() /
                ("kelview-bench-" + purpose + "-" + std::to_string(::getpid()))) {
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Profile `index` of a series recorded a minute apart, each with its own
// counting noise, in a ring of `slots` slots.
inline TKel SeriesProfile(int index, int slots) {
    synth::ProfileOptions options = synth::DefaultOptions(static_cast<std::uint64_t>(index) + 1);
    options.dateOrigin += index / 1440.0;
    options.slots = slots;
    options.cycles = std::max(options.cycles, slots);
    return synth::MakeProfile(options);
}

// Writes `count` zipped profiles of a series into folder as profile<i>.kel,
// each of `slots` slots; their names in order. Ends the program when one
// cannot be written.
inline std::vector<std::string> WriteZippedSeries(const std::filesystem::path& folder, int count, int slots) {
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back("profile" + std::to_string(i) + ".kel");
        if (!SeriesProfile(i, slots).SaveZipped((folder / names.back()).string())) {
            std::fprintf(stderr, "cannot write %s\n", names.back().c_str());
            std::exit(1);
        }
    }
    return names;
}

// A double as text that reads back to the same value.
inline std::string Number(double x) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", x);
    return buf;
}

// The first `count` values as a JSON list.
template <class Values>
std::string List(const Values& values, std::size_t count) {
    std::string out = "[";
    for (std::size_t i = 0; i < count; ++i) out += (i ? ", " : "") + Number(static_cast<double>(values[i]));
    return out + "]";
}

// Peak resident memory of this process so far, in MiB.
inline double PeakMemoryMiB() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace kel::bench
