// One tick of the one-second cycle and one rebuild of the overview at the
// station's full size: 120 devices of 48 channels, the overview in front of
// a 1920 x 1080 window. Targets: a tick at most 30 ms, a rebuild at most 200 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "platform/Sound.h"
#include "station/AlarmForm.h"
#include "station/MainForm.h"

namespace {

class FullStation {
public:
    FullStation()
    {
        if (!dir_.isValid() || chdir(dir_.path().toLocal8Bit().constData()) != 0)
            std::abort();
        SetClock([this] { return now_; });
        form_ = std::make_unique<Tfm_MainForm>();
        form_->timer_PerSecond->stop();
        alarm_ = std::make_unique<TFormAlarm>();
        FormAlarm = alarm_.get();

        DeviceTable& devices = form_->Devices;
        devices.MeterCount = MaxMeters;
        for (int k = 0; k < MaxMeters; ++k) {
            MeterRecord& m = devices.MeterRecords[k];
            copyToField(m.MeterName, QStringLiteral("锅炉%1").arg(k + 1));
            m.ChannelNum = MaxChannels;
            m.PreRecordTime = 1;
            m.Online = 1;
            for (int j = 0; j < MaxChannels; ++j) {
                copyToField(m.Channels[j].ChannelName, QStringLiteral("温度%1").arg(j + 1));
                copyToField(m.Channels[j].ChannelUnit, QStringLiteral("℃"));
            }
        }
        form_->GSMedAlarmDelayT->setText("0");
        form_->pgContr_MainForm->setCurrentWidget(form_->tabSheet_GenervalView);
        form_->showNormal();
        form_->resize(1920, 1080);
        QApplication::processEvents();
        form_->BuildGeneralView();
        form_->BuildCurveSeries();
        form_->StartRecordPeriod();
        // A tenth of the channels in alarm, set after the period cleared the flags.
        for (int g = 0; g < MaxMeters * MaxChannels; g += 10)
            devices.MeterRecords[g / MaxChannels].AlarmHA[g % MaxChannels] = 1;
        QApplication::processEvents();
    }

    ~FullStation()
    {
        FormAlarm = nullptr;
        form_.reset();
        SetClock({});
    }

    Tfm_MainForm& form() { return *form_; }

    void changeEveryValue()
    {
        step_ += 0.1f;
        for (int k = 0; k < MaxMeters; ++k)
            for (int j = 0; j < MaxChannels; ++j)
                form_->Devices.MeterRecords[k].ChannelValues[j] = static_cast<float>(j) + step_;
    }

    void tick()
    {
        now_ += 1 / SecondsPerDay;
        form_->timer_PerSecondTimer();
        QApplication::processEvents();  // the repaint
    }

private:
    QTemporaryDir dir_;
    SoundCapture sounds_;
    TDateTime now_ = EncodeDateTime(2018, 10, 18, 9, 5, 3);
    float step_ = 0;
    std::unique_ptr<Tfm_MainForm> form_;
    std::unique_ptr<TFormAlarm> alarm_;
};

// Made once for both benchmarks and gone before the application is.
std::unique_ptr<FullStation> fullStation;

FullStation& station()
{
    if (!fullStation)
        fullStation = std::make_unique<FullStation>();
    return *fullStation;
}

void BM_TickOfAllChannels(benchmark::State& state)
{
    FullStation& full = station();
    for (auto _ : state) {
        full.changeEveryValue();
        full.tick();
    }
}
BENCHMARK(BM_TickOfAllChannels)->Unit(benchmark::kMillisecond)->Iterations(60);

void BM_BuildGeneralViewOfAllChannels(benchmark::State& state)
{
    Tfm_MainForm& form = station().form();
    for (auto _ : state) {
        form.BuildGeneralView();
        QApplication::processEvents();
    }
}
BENCHMARK(BM_BuildGeneralViewOfAllChannels)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fullStation.reset();
    return 0;
}
