// The history program's loads at full size, the window 1920 x 1080 offscreen,
// the files in the page cache. Targets: opening a file of 128 channels x
// 45,000 records (a first page of 20,000) from the click to the chart painted
// in at most 100 ms; finding over 1,000,000 records x 128 channels in at most
// 1.5 s, with the program under 800 MB resident.
#include "HistoryProgram.h"

namespace {

void BM_Open128ChannelsFirstPage(benchmark::State& state)
{
    HistoryProgram program;
    const std::string path = program.window().write("open.nx", stationFile(45000));
    program.open(path);
    for (auto _ : state)
        program.open(path);
    state.counters["points_per_series"] = program.pointsShown();
}
BENCHMARK(BM_Open128ChannelsFirstPage)->Unit(benchmark::kMillisecond)->MinTime(2.0)->Repetitions(5);

void BM_FindMillionRecords(benchmark::State& state)
{
    HistoryProgram program;
    const HistoryFileSpec spec = stationFile(1000000);
    program.open(program.window().write("find.nx", spec));
    for (auto _ : state)
        program.findAll(spec);
    state.counters["points_per_series"] = program.pointsShown();
    state.counters["resident_MB"] = statusMegabytes("VmRSS:");
    state.counters["peak_resident_MB"] = statusMegabytes("VmHWM:");
}
BENCHMARK(BM_FindMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
