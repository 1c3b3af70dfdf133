// One tick of the one-second cycle and one rebuild of the overview at the
// station's full size, the overview in front.
// Targets: a tick at most 30 ms, a rebuild at most 200 ms.
#include "FullStation.h"

#include <QLineEdit>
#include <QWidget>

#include "platform/Sound.h"
#include "support/WindowDriver.h"

namespace {

// Every value changing, a tenth of the channels in alarm, a log line per
// device per tick, a history record per tick.
class MonitoredStation {
public:
    MonitoredStation()
    {
        Tfm_MainForm& form = station_.form();
        widget<QLineEdit>(form, "GSMedAlarmDelayT")->setText("0");
        station_.showWith(widget<QWidget>(form, "tabSheet_GenervalView"));
        form.BuildGeneralView();
        form.BuildCurveSeries();
        form.StartRecordPeriod();
        // Set after the period cleared the flags.
        for (int g = 0; g < MaxGlobalChannels; g += 10)
            form.Devices.MeterRecords[g / MaxChannels].AlarmHA[g % MaxChannels] = 1;
        QApplication::processEvents();
    }

    Tfm_MainForm& form() { return station_.form(); }

    void changeEveryValue()
    {
        step_ += 0.1f;
        for (int k = 0; k < MaxMeters; ++k)
            for (int j = 0; j < MaxChannels; ++j)
                form().Devices.MeterRecords[k].ChannelValues[j] = static_cast<float>(j) + step_;
    }

    void tick()
    {
        station_.advanceClock();
        form().timer_PerSecondTimer();
        QApplication::processEvents();  // the repaint
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
    for (auto _ : state) {
        station.form().BuildGeneralView();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_BuildGeneralViewOfAllChannels)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
