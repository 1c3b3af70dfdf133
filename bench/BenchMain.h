// What every benchmark program shares: its entry, offscreen, and the
// process's memory as the kernel counts it.
#pragma once

#include <benchmark/benchmark.h>

#include <fstream>
#include <string>

#include "support/ProgramApp.h"

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

// The benchmarks' entry: the programs' own application object, offscreen,
// outlives every window, as it does in the tests.
inline int runBenchmarks(int argc, char** argv)
{
    programApp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
