// The one-second cycle: every tick, in this order, the clock, each channel's
// curve, history value, panel and alarm records, each device's log line when
// due, the alarm window and sound, the SMS step, and the history record.
#include <QLineEdit>
#include <QTimer>

#include "chart/Chart.h"
#include "platform/Conversions.h"
#include "platform/GuardedHandler.h"
#include "platform/Sound.h"
#include "shared/ChannelOrder.h"
#include "station/AlarmForm.h"
#include "station/GeneralView.h"
#include "station/MainFormWidgets.h"
#include "station/core/MeterLog.h"

namespace {

constexpr int SilenceRequested = 1;

}  // namespace

void Tfm_MainForm::connectCycleHandlers()
{
    connect(timer_PerSecond, &QTimer::timeout, this, guarded(this, &Tfm_MainForm::timer_PerSecondTimer));
    // A delay that is no whole number counts as none.
    connect(ui->GSMedAlarmDelayT, &QLineEdit::textChanged, this,
            guarded([this](const QString& text) { Alarm.setDelay(StrToIntDef(text, 0)); }));
}

void Tfm_MainForm::timer_PerSecondTimer()
{
    const TDateTime T = Now();
    const QString timeText = FormatDateTime("YY-MM-DD HH:NN:SS", T);
    ui->lab_SysTime->setText("时间: " + timeText + "    ");

    AnyAlarm = 0;
    const std::string baseDir = BaseDir.toStdString();
    const int channelCount = forEachChannel(Devices.MeterRecords, Devices.MeterCount, [&](int k, int j, int g) {
        const float value = Devices.MeterRecords[k].ChannelValues[j];
        Animate(ui->chart_RealTimeCurves->series(g), timeText, value);
        HistoryRow.Values[g] = value;
        UpdateGeneralViewItem(k, j, g);
        UpdateAlarmRecords(k, j, timeText);
    });
    for (int k = 0; k < Devices.MeterCount; ++k) {
        const MeterRecord& meter = Devices.MeterRecords[k];
        if (takeMeterLogTick(MeterLogTicks[k], meter.PreRecordTime))
            appendMeterLogLine(makeMeterLogPath(baseDir, T, meter, k), meter, T);
    }
    GeneralViewControls->repaintChanged();
    AlarmRecords.writeMissedRows();

    if (AnyAlarm)
        alarmTick();
    else
        quietTick();

    History.recordIfDue(T, HistoryRow.Values, channelCount);
}

// FormAlarm exists from start-up on; only a main window made on its own has none.
void Tfm_MainForm::alarmTick()
{
    const AlarmSchedule::Step step = Alarm.alarmTick(FormAlarm && FormAlarm->result() == SilenceRequested);
    if (FormAlarm) {
        if (step.blink)
            FormAlarm->blink();
        if (step.sound) {
            PlaySoundFile(AlarmSoundPath);
            FormAlarm->bringToFront();
        }
        if (step.silence)
            FormAlarm->close();
    }
    if (!ui->plGSM_Alarm->isEnabled() && ui->GSMcbAlarmEn->isChecked())
        SmsAlarmStep();
}

void Tfm_MainForm::quietTick()
{
    Sms.reset();
    Alarm.startOver();
    if (FormAlarm)
        FormAlarm->close();
}
