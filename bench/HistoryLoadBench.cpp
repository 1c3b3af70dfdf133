// The history program's loads at full size, the window 1920 x 1080 offscreen,
// the files in the page cache. Targets: opening a file of 128 channels x
// 45,000 records (a first page of 20,000) from the click to the chart painted
// in at most 100 ms; finding over 1,000,000 records x 128 channels in at most
// 0.8 s, with the program under 800 MB resident, and in less time than the
// floor beside it: the 512 MB that the find's columns take, freshly mapped
// and touched page by page.
#include "HistoryProgram.h"

#include <sys/mman.h>

namespace {

constexpr long FindRecords = 1000000;

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
    const HistoryFileSpec spec = stationFile(FindRecords);
    program.open(program.window().write("find.nx", spec));
    for (auto _ : state)
        program.findAll(spec);
    state.counters["points_per_series"] = program.pointsShown();
    state.counters["resident_MB"] = statusMegabytes("VmRSS:");
    state.counters["peak_resident_MB"] = statusMegabytes("VmHWM:");
}
BENCHMARK(BM_FindMillionRecords)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

// What a find cost that mapped new columns in 4 KB pages each time: a fault
// per page, then the pages given back.
void BM_FloorTouchFresh512MBPageByPage(benchmark::State& state)
{
    const std::size_t bytes = std::size_t(FindRecords) * Channels * sizeof(float);
    const auto page = std::size_t(sysconf(_SC_PAGESIZE));
    for (auto _ : state) {
        void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapped == MAP_FAILED) {
            state.SkipWithError("cannot map the memory");
            break;
        }
        auto* memory = static_cast<volatile char*>(mapped);
        for (std::size_t offset = 0; offset < bytes; offset += page)
            memory[offset] = 1;
        munmap(mapped, bytes);
    }
}
BENCHMARK(BM_FloorTouchFresh512MBPageByPage)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
