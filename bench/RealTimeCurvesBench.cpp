// One tick of the real-time curves at the station's full size: 120 devices of
// 48 channels, 5,760 curves of 1,000 points, each sliding by one point, in a
// 1920 x 1080 window. Target: at most 150 ms with the tab "实时曲线" in front
// (the repaint included), next to nothing with it hidden, and the station's
// resident memory under 250 MB.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "station/MainForm.h"

namespace {

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

class FullStation {
public:
    explicit FullStation(bool curvesInFront)
    {
        app();
        if (!dir_.isValid() || chdir(dir_.path().toLocal8Bit().constData()) != 0)
            std::abort();
        form_ = std::make_unique<Tfm_MainForm>();
        form_->timer_PerSecond->stop();
        DeviceTable& devices = form_->Devices;
        devices.MeterCount = MaxMeters;
        for (int k = 0; k < MaxMeters; ++k) {
            MeterRecord& m = devices.MeterRecords[k];
            copyToField(m.MeterName, QStringLiteral("锅炉%1").arg(k + 1));
            m.ChannelNum = MaxChannels;
            for (int j = 0; j < MaxChannels; ++j) {
                copyToField(m.Channels[j].ChannelName, QStringLiteral("温度%1").arg(j + 1));
                m.Channels[j].ChannelColor = TColor((k * 48 + j) * 2654435761u >> 8);
            }
        }
        form_->BuildGeneralView();
        form_->BuildCurvesSelectList();
        form_->BuildCurveSeries();
        form_->chart_RealTimeCurves->leftAxis().setMinMax(0, 500);
        form_->pgContr_MainForm->setCurrentWidget(curvesInFront ? form_->tabSheet_RealTimeCurves
                                                                : form_->tabSheet_GenervalView);
        form_->showNormal();
        form_->resize(1920, 1080);
        QApplication::processEvents();
        for (int i = 0; i < 1000; ++i)
            slide();  // live points all along the curves
        QApplication::processEvents();
    }

    void slide()
    {
        const QString label = FormatDateTime("YY-MM-DD HH:NN:SS", now_);
        now_ += 1.0 / 86400;
        ++tick_;
        Chart& chart = *form_->chart_RealTimeCurves;
        for (int g = 0; g < chart.seriesCount(); ++g)
            form_->Animate(chart.series(g), label, value(g));
    }

    // A tick as the cycle runs it, and the repaint that follows.
    void tick()
    {
        slide();
        QApplication::processEvents();
        form_->chart_RealTimeCurves->repaint();
    }

private:
    // A process value: a slow swing per channel with a little noise.
    double value(int channel) const
    {
        return 250 + 200 * std::sin(channel * 0.37 + double(tick_) * 0.01) + double((tick_ * 7919 + channel) % 7) * 0.2;
    }

    QTemporaryDir dir_;
    std::unique_ptr<Tfm_MainForm> form_;
    TDateTime now_ = EncodeDateTime(2024, 5, 1, 8, 0, 0);
    long tick_ = 0;
};

void BM_CurvesTickShown(benchmark::State& state)
{
    FullStation station(true);
    for (auto _ : state)
        station.tick();
    state.counters["resident_MB"] = residentMegabytes();
}
BENCHMARK(BM_CurvesTickShown)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_CurvesTickHidden(benchmark::State& state)
{
    FullStation station(false);
    for (auto _ : state)
        station.tick();
}
BENCHMARK(BM_CurvesTickHidden)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
