#pragma once
// The main() of a benchmark that drives a window: the benchmarks run inside a widget
// application (offscreen unless another platform is asked for); `release` drops the window
// before the application object goes.

#include <QApplication>
#include <benchmark/benchmark.h>

namespace qm::bench {

template <typename Release>
int runWindowBenchmarks(int argc, char** argv, Release release)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    release();
    return 0;
}

}  // namespace qm::bench
