// One tick of the real-time curves at the station's full size: 5,760 curves of
// 1,000 points, each sliding by one point. Target: at most 150 ms with the tab
// "实时曲线" in front (the repaint included), next to nothing with it hidden,
// and the station's resident memory under 250 MB.
#include "FullStation.h"

#include <QWidget>
#include <cmath>

#include "chart/Chart.h"
#include "support/WindowDriver.h"

namespace {

class CurvesStation {
public:
    explicit CurvesStation(bool curvesInFront)
    {
        Tfm_MainForm& form = station_.form();
        form.BuildGeneralView();
        form.BuildCurvesSelectList();
        form.BuildCurveSeries();
        widget<Chart>(form, "chart_RealTimeCurves")->leftAxis().setMinMax(0, 500);
        station_.showWith(curvesInFront ? widget<QWidget>(form, "tabSheet_RealTimeCurves") : widget<QWidget>(form, "tabSheet_GenervalView"));
        for (int i = 0; i < 1000; ++i)
            slide();  // live points all along the curves
        QApplication::processEvents();
    }

    // A tick as the cycle runs it, and the repaint that follows.
    void tick()
    {
        slide();
        QApplication::processEvents();
        widget<Chart>(station_.form(), "chart_RealTimeCurves")->repaint();
    }

private:
    void slide()
    {
        const QString label = FormatDateTime("YY-MM-DD HH:NN:SS", station_.now());
        station_.advanceClock();
        ++tick_;
        Tfm_MainForm& form = station_.form();
        Chart& chart = *widget<Chart>(form, "chart_RealTimeCurves");
        for (int g = 0; g < chart.seriesCount(); ++g)
            form.Animate(chart.series(g), label, value(g));
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
