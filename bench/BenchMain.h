// What every benchmark program shares: its entry, offscreen, and the
// process's memory as the kernel counts it.
#pragma once

#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <string>

// "VmRSS:" (resident now) or "VmHWM:" (resident at the most) of
// /proc/self/status, in MB.
inline double statusMegabytes(const char* key)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    double kilobytes = 0;
    while (status >> word)
        if (word == key && status >> kilobytes)
            break;
    return kilobytes / 1024;
}

// The benchmarks' entry: the application object outlives every window.
inline int runBenchmarks(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
