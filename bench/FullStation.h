// The station at its full size for the benchmarks: 120 devices of 48 channels
// in a temporary base directory, the window 1920 x 1080 offscreen, on a clock
// that the benchmark advances.
#pragma once

#include "BenchMain.h"

#include <QApplication>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#include "platform/Colors.h"
#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "station/AlarmForm.h"
#include "station/MainForm.h"
#include "support/WindowDriver.h"

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
        fillDeviceTable();
    }

    ~FullStation()
    {
        FormAlarm = nullptr;
        form_.reset();
        SetClock({});
    }

    Tfm_MainForm& form() { return *form_; }
    TDateTime now() const { return now_; }
    void advanceClock() { now_ += 1 / SecondsPerDay; }

    // Shows the window at full size with the given tab in front.
    void showWith(QWidget* tab)
    {
        widget<QTabWidget>(*form_, "pgContr_MainForm")->setCurrentWidget(tab);
        form_->showNormal();
        form_->resize(1920, 1080);
        QApplication::processEvents();
    }

private:
    void fillDeviceTable()
    {
        DeviceTable& devices = form_->Devices;
        devices.MeterCount = MaxMeters;
        for (int k = 0; k < MaxMeters; ++k) {
            MeterRecord& m = devices.MeterRecords[k];
            copyToField(m.MeterName, QStringLiteral("锅炉%1").arg(k + 1));
            m.ChannelNum = MaxChannels;
            m.PreRecordTime = 1;
            m.Online = 1;
            for (int j = 0; j < MaxChannels; ++j) {
                ChannelRecord& c = m.Channels[j];
                copyToField(c.ChannelName, QStringLiteral("温度%1").arg(j + 1));
                copyToField(c.ChannelUnit, QStringLiteral("℃"));
                c.ChannelColor = TColor((k * MaxChannels + j) * 2654435761u >> 8);
            }
        }
    }

    QTemporaryDir dir_;
    TDateTime now_ = EncodeDateTime(2018, 10, 18, 9, 5, 3);
    std::unique_ptr<Tfm_MainForm> form_;
    std::unique_ptr<TFormAlarm> alarm_;
};
