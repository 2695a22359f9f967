#pragma once
// main() of the benchmarks that draw or show windows: the benchmarks run
// inside a QApplication on the offscreen platform unless another is chosen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>

namespace kel::bench {

inline int RunInQApplication(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

}  // namespace kel::bench
