// Listing a folder of 10 000 zipped profiles in the browser window (its
// ListFolder: the core's listing, the list's model reset and a repaint of
// the shown window, offscreen), against the core's ListFolder alone. The
// list must not be the slow part: goal at most 1.3. The ratio is printed at
// the end.
#include <benchmark/benchmark.h>

// Before Qt: the profile generator names a field "slots", a word Qt's headers
// take for themselves.
#include "BenchServices.h"
#include "BenchSupport.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>

#include "app/KelViewSession.h"
#include "app/qt/KelViewWindow.h"
#include "browser/Kelbrows.h"
#include "browser/qt/KelBrowse.h"

namespace {

using namespace kel;
namespace fs = std::filesystem;

constexpr int kProfiles = 10000;
constexpr int kSlots = 20;  // small files: the listing reads headers only

struct Setup {
    bench::ScratchFolder folder{"browser-listing"};
    bench::ScratchFolder start{"browser-start"};  // the browser's first, empty listing
    fs::path previous = fs::current_path();
    std::vector<std::string> names = bench::WriteZippedSeries(folder.Path(), kProfiles, kSlots);
    MemorySettings store;
    TKelViewSession session{bench::BenchServices()};
    std::unique_ptr<TFKelView> main;
    TFKelBrowse* browser = nullptr;

    Setup() {
        store.WriteString("Browser", "Folder", start.Path().string());
        main = std::make_unique<TFKelView>(session, store);
        browser = new TFKelBrowse(*main, store);
        browser->show();
        QApplication::processEvents();
    }
    ~Setup() {
        main.reset();
        fs::current_path(previous);
    }
};

// Made on first use, gone before the application object.
std::unique_ptr<Setup> made;

Setup& Data() {
    if (!made) made = std::make_unique<Setup>();
    return *made;
}

void Check(std::size_t listed) {
    if (listed != static_cast<std::size_t>(kProfiles)) {
        std::cerr << listed << " profiles listed, " << kProfiles << " expected\n";
        std::exit(1);
    }
}

void BM_CoreListFolder(benchmark::State& state) {
    const std::string folder = Data().folder.Path().string();
    TProfileListing listing;
    for (auto _ : state) listing.ListFolder(folder);
    Check(listing.Entries.size());
}
BENCHMARK(BM_CoreListFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_BrowserListFolder(benchmark::State& state) {
    Setup& data = Data();
    const QString folder = QString::fromStdString(data.folder.Path().string());
    for (auto _ : state) {
        data.browser->ListFolder(folder);
        data.browser->repaint();
    }
    Check(data.browser->Listing().Entries.size());
}
BENCHMARK(BM_BrowserListFolder)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    bench::CpuTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    made.reset();
    const double window = reporter.Seconds("BM_BrowserListFolder"), core = reporter.Seconds("BM_CoreListFolder");
    if (window > 0 && core > 0)
        std::cout << "CPU time for " << kProfiles << " zipped profiles: browser window " << window * 1e3
                  << " ms, core ListFolder " << core * 1e3 << " ms, window / core = " << window / core
                  << " (goal <= 1.3)\n";
    return 0;
}
