// Hostile profile and kinetics files against the largest real profile: each is loaded once in
// a forked child, so that no load's memory counts for another, and the
// table gives the time to refusal and the child's peak resident memory as a
// ratio to the largest real profile's. Every hostile input must be refused
// within 1 s and at no more than twice that peak.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "kinetics/Kbasetxt.h"
#include "profile/Kel.h"
#include "synth/ProfileGenerator.h"
#include "zip/SciZipFile.h"

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;

// Writes `head`, then `unit` repeated up to `size` bytes in all, then
// `tail`, a mebibyte at a time.
void WriteRepeated(const std::string& path, const std::string& head, const std::string& unit, std::size_t size,
                   const std::string& tail = "") {
    std::ofstream out(path, std::ios::binary);
    out << head;
    std::string block;
    while (block.size() < kMiB) block += unit;
    std::size_t left = size - head.size() - tail.size();
    left -= left % unit.size();
    for (; left > 0; left -= std::min(left, block.size()))
        out.write(block.data(), static_cast<std::streamsize>(std::min(left, block.size())));
    out << tail;
}

// The largest real profile: 29 rows in use over 32767 slots.
void WriteLargest(const std::string& zipped, const std::string& plain) {
    kel::synth::ProfileOptions options = kel::synth::DefaultOptions(7);
    options.slots = 32767;
    options.cycles = 32767;
    kel::TKel kel = kel::synth::MakeProfile(options);
    for (std::size_t r = 0; r < 29; ++r)
        if (kel.Name[r].empty()) kel.Name[r] = "r" + std::to_string(r);
    if (!kel.SaveZipped(zipped)) std::exit(1);
    std::ofstream(plain, std::ios::binary) << kel.BuildXml();
}

void WriteZipped(const std::string& path, const std::string& text) {
    kel::TZipFile zip;
    zip.AddFile("hostile.txt.kel", 0);
    zip.SetUncompressed(0, text);
    if (!zip.SaveToFile(path)) std::exit(1);
}

// Runs `work` in a child; false when it failed.
bool InChild(const std::function<void()>& work) {
    std::fflush(stdout);  // else the child would print the parent's pending lines again
    pid_t child = ::fork();
    if (child == 0) {
        work();
        ::_exit(0);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct Measured {
    double seconds = -1;
    double peakMiB = -1;
    std::string reason;
};

enum class TReader { Profile, Kinetics };

// One load of `path` in a fresh child: its wall time, its peak resident
// memory (wait4's own rusage, so no other child counts) and its reason.
Measured LoadInChild(const std::string& path, TReader reader = TReader::Profile) {
    int pipe[2];
    if (::pipe(pipe) != 0) return {};
    std::fflush(stdout);
    pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        auto start = std::chrono::steady_clock::now();
        std::string reason = reader == TReader::Kinetics ? kel::TKbase().LoadFile(path).io.reason
                                                         : kel::TKel().LoadFromFile(path).io.reason;
        double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::string report = std::to_string(seconds) + "\n" + reason;
        ssize_t written = ::write(pipe[1], report.data(), report.size());
        ::_exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    ::close(pipe[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t got; (got = ::read(pipe[0], buffer, sizeof buffer)) > 0;) report.append(buffer, static_cast<std::size_t>(got));
    ::close(pipe[0]);
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child) return {};
    Measured m;
    m.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // KiB on Linux
    std::size_t line = report.find('\n');
    if (line == std::string::npos) return m;
    m.seconds = std::atof(report.substr(0, line).c_str());
    m.reason = report.substr(line + 1);
    return m;
}

struct Input {
    std::string name;
    std::function<void(const std::string&)> write;  // none: `path` is read as it is
    TReader reader = TReader::Profile;
    std::string path = {};
};

}  // namespace

int main() {
    kel::bench::ScratchFolder folder("hostile");
    auto file = [&](const std::string& name) { return (folder.Path() / name).string(); };
    const std::string zippedLargest = file("largest.kel"), plainLargest = file("largest-plain.kel");
    if (!InChild([&] { WriteLargest(zippedLargest, plainLargest); })) return 1;

    // The sizes, and the same shapes cut to just under the size
    // limit, so that the parser's own limits answer rather than the size.
    constexpr std::size_t kUnder = 23 * kMiB;
    const std::vector<Input> inputs = {
        {"31 MB of <a/>", [](const std::string& p) { WriteRepeated(p, "", "<a/>", 31000000); }},
        {"31 MB of <a/>, zipped",
         [](const std::string& p) { WriteZipped(p, [] { std::string t; while (t.size() < 31000000) t += "<a/>"; return t; }()); }},
        {"5e6 empty elements", [](const std::string& p) { WriteRepeated(p, "<kel>", "<a></a>", 5 + 7 * 5000000); }},
        {"11e6 attributes", [](const std::string& p) { WriteRepeated(p, "<kel", " a=\"\"", 4 + 6 * 11000000, ">"); }},
        {"100 MB element name", [](const std::string& p) { WriteRepeated(p, "<kel><", "n", 100000000, ">"); }},
        {"23 MiB of <a/>", [&](const std::string& p) { WriteRepeated(p, "", "<a/>", kUnder); }},
        {"23 MiB of empty elements", [&](const std::string& p) { WriteRepeated(p, "<kel>", "<a></a>", kUnder); }},
        {"23 MiB of attributes", [&](const std::string& p) { WriteRepeated(p, "<kel", " a=\"\"", kUnder, ">"); }},
        {"23 MiB element name", [&](const std::string& p) { WriteRepeated(p, "<kel><", "n", kUnder, ">"); }},
        {"23 MiB of 32767-entry lists",
         [&](const std::string& p) {
             std::string list = "<Times>";
             for (int i = 0; i < 32767; ++i) list += "<t>1</t>";
             WriteRepeated(p, "<kel>", list + "</Times>", kUnder);
         }},
        {"kinetics: /dev/zero", {}, TReader::Kinetics, "/dev/zero"},
        {"kinetics: 1 GiB of NUL",
         [](const std::string& p) {
             std::ofstream(p, std::ios::binary).put('\0');
             std::filesystem::resize_file(p, std::uintmax_t{1} << 30);
         },
         TReader::Kinetics, ""},
        {"kinetics: 100 MB line", [](const std::string& p) { WriteRepeated(p, "", "n", 100000000, "\n1\n"); },
         TReader::Kinetics, ""},
        {"kinetics: 15 MiB line", [](const std::string& p) { WriteRepeated(p, "", "n", 15 * kMiB, "\n1\n"); },
         TReader::Kinetics, ""},
    };

    Measured zipped = LoadInChild(zippedLargest), plain = LoadInChild(plainLargest);
    if (!zipped.reason.empty() || !plain.reason.empty()) {
        std::fprintf(stderr, "the largest profile did not load: %s%s\n", zipped.reason.c_str(), plain.reason.c_str());
        return 1;
    }
    const double base = std::max(zipped.peakMiB, plain.peakMiB);
    std::printf("largest real profile (29 rows x 32767 slots): zipped %.1f MiB peak, %.0f ms; plain %.1f MiB, %.0f ms\n\n",
                zipped.peakMiB, zipped.seconds * 1e3, plain.peakMiB, plain.seconds * 1e3);
    std::printf("%-28s %10s %10s %9s %6s  %s\n", "input", "file MiB", "refusal ms", "peak MiB", "ratio", "reason");
    bool withinBounds = true;
    for (const Input& input : inputs) {
        std::string path = input.write ? file("hostile.kel") : input.path;
        if (input.write && !InChild([&] { input.write(path); })) return 1;
        std::error_code noSize;
        double size = static_cast<double>(std::filesystem::file_size(path, noSize)) / kMiB;
        if (noSize) size = 0;
        Measured m = LoadInChild(path, input.reader);
        double ratio = m.peakMiB / base;
        bool ok = !m.reason.empty() && m.seconds >= 0 && m.seconds <= 1.0 && ratio <= 2.0;
        withinBounds = withinBounds && ok;
        std::string reason = m.reason;
        if (auto at = reason.find(path); at != std::string::npos) reason.replace(at, path.size(), "F");
        std::printf("%-28s %10.1f %10.1f %9.1f %6.2f  %s%s\n", input.name.c_str(), size, m.seconds * 1e3, m.peakMiB,
                    ratio, ok ? "" : "[PAST BOUNDS] ", reason.c_str());
        if (input.write) std::filesystem::remove(path);
    }
    std::printf("\n%s\n", withinBounds ? "every input refused within 1 s and 2 x the largest profile's peak"
                                       : "SOME INPUT PASSED THE BOUNDS");
    return withinBounds ? 0 : 1;
}
