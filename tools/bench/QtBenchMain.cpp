// The main() of the benchmarks that paint or decode with Qt: an offscreen application (unless a
// platform is named) with the program's font substitutions, then Google Benchmark.
#include <cstdlib>

#include <benchmark/benchmark.h>

#include <QApplication>

#include "app/platform/FontSubstitutions.h"

int main(int argc, char** argv)
{
    if (std::getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv); // widgets too: the chart view is one
    kanvo::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
