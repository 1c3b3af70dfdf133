// One tick of the one-second cycle and one rebuild of the overview at the
// station's full size, the overview in front.
// Targets: a tick at most 30 ms, a rebuild at most 200 ms.
#include "FullStation.h"

#include "platform/Sound.h"

namespace {

// Every value changing, a tenth of the channels in alarm, a log line per
// device per tick, a history record per tick.
class MonitoredStation {
public:
    MonitoredStation() : station_(1)
    {
        station_.station().writeBaseFile("Res/GSM_Alarm.ini", "[GSM]\r\nDelay=0\r\n");
        station_.start();
        station_.showWith("tabSheet_GenervalView");
        for (int g = 0; g < MaxGlobalChannels; g += 10)
            station_.polled(g / MaxChannels).AlarmHA[g % MaxChannels] = 1;
        QApplication::processEvents();
    }

    void changeEveryValue()
    {
        step_ += 0.1f;
        for (int k = 0; k < MaxMeters; ++k)
            for (int j = 0; j < MaxChannels; ++j)
                station_.polled(k).ChannelValues[j] = static_cast<float>(j) + step_;
    }

    void tick()
    {
        station_.tick();
        QApplication::processEvents();  // the repaint
    }

    // What a resize of the window does to the overview.
    void rebuildOverview()
    {
        station_.form().FormResize();
        QApplication::processEvents();
    }

private:
    SoundCapture sounds_;
    FullStation station_;
    float step_ = 0;
};

void BM_TickOfAllChannels(benchmark::State& state)
{
    MonitoredStation station;
    for (auto _ : state) {
        station.changeEveryValue();
        station.tick();
    }
}
BENCHMARK(BM_TickOfAllChannels)->Unit(benchmark::kMillisecond)->Iterations(60);

void BM_BuildGeneralViewOfAllChannels(benchmark::State& state)
{
    MonitoredStation station;
    for (auto _ : state)
        station.rebuildOverview();
}
BENCHMARK(BM_BuildGeneralViewOfAllChannels)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
