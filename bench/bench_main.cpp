#include <cstdlib>
#include <cstring>

#include <benchmark/benchmark.h>
#include <QApplication>

#include "live_pages.h"
#include "load_memory.h"

// Text drawing needs a Qt application; the offscreen platform lets the benchmarks run without a
// display.
int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], quill::bench::load_memory_flag) == 0) {
        return quill::bench::report_load_memory(argv[2], argv[3]);
    }
    if (argc == 5 && std::strcmp(argv[1], quill::bench::live_pages_flag) == 0) {
        return quill::bench::run_live_pages(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
