// "Follow file" in the main window on a zipped 32767-point profile of 29 rows
// in ppb mode with 100 selected compounds, on the offscreen platform:
// - "follow/peer": from the moment a new version of the file is renamed into
//   place to the window repainted with it, against opening the same profile
//   in the session and one Draw of the graph into a QImage of the same size
//   (goal: at most 1.3).
// Both runs alternate in every iteration, so the ratio compares them under
// the same machine load.
#include <benchmark/benchmark.h>

// Before Qt: the profile generator names a field "slots", a word Qt's headers
// take for themselves.
#include "BenchServices.h"
#include "BenchSupport.h"
#include "synth/KineticsGenerator.h"

#include "QtBenchMain.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/KelViewSession.h"
#include "app/qt/GraphPanel.h"
#include "app/qt/KelViewWindow.h"
#include "app/qt/ProfileFollower.h"
#include "app/qt/SessionBinding.h"
#include "kinetics/KineticsLibrary.h"
#include "plot/qt/QtCanvas.h"
#include "plot/qt/XYGraphBox.h"

namespace {

using namespace kel;
using Clock = std::chrono::steady_clock;

constexpr int kPoints = 32767;
constexpr int kLibraryEntries = 160;  // 100 selected compounds with the default channels

struct Scene {
    bench::ScratchFolder folder{"follow"};
    MemorySettings store;
    TKelViewSession session{bench::BenchServices()};
    TFKelView window{session, store};
    std::string path = (folder.Path() / "live.kel").string();
    // Two cycles of the instrument, written aside, renamed in turn.
    std::string versions[2] = {(folder.Path() / "a.zip").string(), (folder.Path() / "b.zip").string()};

    Scene() {
        for (int i = 0; i < 2; ++i)
            if (!bench::SeriesProfile(i, kPoints).SaveZipped(versions[i])) {
                std::cerr << "cannot write " << versions[i] << '\n';
                std::exit(1);
            }
        std::filesystem::copy_file(versions[0], path);
        KineticsLibrary().LoadText(synth::KineticsText(kLibraryEntries));
        window.resize(1600, 1000);
        window.show();
        if (!window.ShowProfile(QString::fromStdString(path)) ||
            !window.Binding().Run([](TKelViewSession& s) {
                s.PressPpb();
                s.SetFollowFile(true);
            })) {
            std::cerr << "cannot open the profile in ppb mode\n";
            std::exit(1);
        }
        QCoreApplication::processEvents();
    }

    // Renames version i over the followed file (a copy stays for the next turn).
    void Replace(int i) {
        const std::string aside = path + ".tmp";
        std::filesystem::copy_file(versions[i], aside, std::filesystem::copy_options::overwrite_existing);
        std::filesystem::rename(aside, path);
    }
};

void BM_FollowToRepaint(benchmark::State& state) {
    static Scene s;
    auto* follower = s.window.findChild<TProfileFollower*>();
    bool followed = false;
    QObject::connect(follower, &TProfileFollower::Followed, [&followed] { followed = true; });
    TXYGraphBox& box = *s.window.Graphs().XYGraphBox1();
    QImage image(box.size(), QImage::Format_ARGB32_Premultiplied);
    Clock::duration ours{}, peer{};
    int turn = 0;
    for (auto _ : state) {
        followed = false;
        turn = 1 - turn;
        const auto t0 = Clock::now();
        s.Replace(turn);
        while (!followed) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::processEvents();  // the repaint
        const auto t1 = Clock::now();
        const std::string path = s.path;
        s.window.Binding().Run([&path](TKelViewSession& session) { session.ShowProfile(path); });
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            TQtCanvas canvas(painter);
            s.window.Binding().DrawingGraph(1).Draw(canvas, {0, 0, image.width(), image.height()});
        }
        const auto t2 = Clock::now();
        QCoreApplication::processEvents();  // the peer's own repaint, outside both
        ours += t1 - t0;
        peer += t2 - t1;
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["follow/peer"] =
        std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(peer).count();
}
BENCHMARK(BM_FollowToRepaint)->Unit(benchmark::kMillisecond)->MinTime(5);

}  // namespace

int main(int argc, char** argv) { return kel::bench::RunInQApplication(argc, argv); }
