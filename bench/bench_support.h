#pragma once

// What the benchmarks share: the process's resident memory and the start of
// a benchmark program that shows windows.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>

// The resident memory now, in kilobytes, from /proc/self/statm.
inline long ResidentKb() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

inline double ResidentMb() {
    return double(ResidentKb()) / 1024.0;
}

// Runs the benchmarks named on the command line with an application for the
// windows; off screen unless a platform is asked for.
inline int RunWidgetBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
