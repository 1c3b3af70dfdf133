// One tick of the real-time curves at the station's largest configuration:
// 5,760 series of 1,000 points, each sliding by one point, then the repaint.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "chart/Chart.h"

namespace {

constexpr int SeriesCount = 5760;
constexpr int PointCount = 1000;

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench";
    static char* argv[] = {name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication instance(argc, argv);
    return instance;
}

double residentMegabytes()
{
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A process value: a slow swing per channel with a little noise.
double channelValue(int channel, long tick)
{
    return 250 + 200 * std::sin(channel * 0.37 + double(tick) * 0.01) + double((tick * 7919 + channel) % 7) * 0.2;
}

struct CurvesChart {
    Chart chart;
    long tick = 0;

    CurvesChart()
    {
        chart.resize(1703, 1000);
        chart.leftAxis().setMinMax(0, 500);
        for (int s = 0; s < SeriesCount; ++s) {
            ChartSeries& series = chart.addSeries();
            series.setColor(QColor::fromHsv(s * 37 % 360, 255, 200));
            for (int i = 0; i < PointCount; ++i)
                series.addPoint(i, channelValue(s, i), QStringLiteral(" "));
        }
        tick = PointCount;
    }

    void animate()
    {
        const QString label = QStringLiteral("24-05-01 12:%1:%2").arg(tick / 60 % 60, 2, 10, QChar(u'0')).arg(tick % 60, 2, 10, QChar(u'0'));
        for (int s = 0; s < SeriesCount; ++s) {
            ChartSeries& series = chart.series(s);
            series.deletePoint(0);
            series.addPoint(series.lastX() + 1, channelValue(s, tick), label);
        }
        ++tick;
    }
};

void BM_ChartTickShown(benchmark::State& state)
{
    app();
    CurvesChart curves;
    curves.chart.show();
    QApplication::processEvents();
    for (auto _ : state) {
        curves.animate();
        QApplication::processEvents();
        curves.chart.repaint();
    }
    state.counters["resident_MB"] = residentMegabytes();
}
BENCHMARK(BM_ChartTickShown)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_ChartTickHidden(benchmark::State& state)
{
    app();
    CurvesChart curves;
    for (auto _ : state) {
        curves.animate();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ChartTickHidden)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
