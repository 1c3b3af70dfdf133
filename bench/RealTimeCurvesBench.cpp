// One tick of the real-time curves at the station's full size: 5,760 curves of
// 1,000 points, each sliding by one point. Target: at most 150 ms with the tab
// "实时曲线" in front (the repaint included), next to nothing with it hidden,
// and the station's resident memory under 250 MB.
#include "FullStation.h"

#include <cmath>

#include "chart/Chart.h"

namespace {

// Log lines and history records once an hour, no alarm: the tick's work is
// the curves'. Hidden, they give way to the alarm records, so that no other
// page repaints either.
class CurvesStation {
public:
    explicit CurvesStation(bool curvesInFront) : station_(3600)
    {
        station_.start();
        station_.station().widget<Chart>("chart_RealTimeCurves").leftAxis().setMinMax(0, 500);
        station_.showWith(curvesInFront ? "tabSheet_RealTimeCurves" : "tabSheet_AlamRecord");
        for (int i = 0; i < 1000; ++i)
            slide();  // live points all along the curves
        QApplication::processEvents();
    }

    // A tick as the cycle runs it, and the repaint that follows.
    void tick()
    {
        slide();
        QApplication::processEvents();
        station_.station().widget<Chart>("chart_RealTimeCurves").repaint();
    }

private:
    void slide()
    {
        ++tick_;
        for (int g = 0; g < MaxGlobalChannels; ++g)
            station_.polled(g / MaxChannels).ChannelValues[g % MaxChannels] = float(value(g));
        station_.tick();
    }

    // A process value: a slow swing per channel with a little noise.
    double value(int channel) const
    {
        return 250 + 200 * std::sin(channel * 0.37 + double(tick_) * 0.01) + double((tick_ * 7919 + channel) % 7) * 0.2;
    }

    FullStation station_;
    long tick_ = 0;
};

void BM_CurvesTickShown(benchmark::State& state)
{
    CurvesStation station(true);
    for (auto _ : state)
        station.tick();
    state.counters["resident_MB"] = statusMegabytes("VmRSS:");
}
BENCHMARK(BM_CurvesTickShown)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_CurvesTickHidden(benchmark::State& state)
{
    CurvesStation station(false);
    for (auto _ : state)
        station.tick();
}
BENCHMARK(BM_CurvesTickHidden)->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
