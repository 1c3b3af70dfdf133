#pragma once
// A main window in a fresh base directory, ticked by hand on a settable
// clock, for the tests of the one-second cycle and what it drives.
#include <gtest/gtest.h>

#include <QTimer>
#include <memory>
#include <vector>

#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "station/AlarmForm.h"
#include "station/GeneralView.h"
#include "station/MainForm.h"
#include "support/GuiApp.h"
#include "support/WorkDir.h"

// A station in a fresh base directory, its timer held, ticked by hand on a
// clock that moves one second per tick.
class Station : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        SetClock([this] { return now; });
        form = std::make_unique<Tfm_MainForm>();
        form->timer_PerSecond->stop();
        alarmWindow = std::make_unique<TFormAlarm>();
        FormAlarm = alarmWindow.get();
    }

    void TearDown() override
    {
        FormAlarm = nullptr;
        SetClock({});
    }

    MeterRecord& addDevice(const char* name, std::vector<const char*> channels, int interval = 3600)
    {
        MeterRecord& m = form->Devices.MeterRecords[form->Devices.MeterCount++];
        copyToField(m.MeterName, QString::fromUtf8(name));
        m.ChannelNum = static_cast<std::uint8_t>(channels.size());
        for (std::size_t j = 0; j < channels.size(); ++j) {
            copyToField(m.Channels[j].ChannelName, QString::fromUtf8(channels[j]));
            copyToField(m.Channels[j].ChannelUnit, "kPa");
        }
        m.PreRecordTime = interval;
        m.Online = 1;
        return m;
    }

    // What entering run mode does for this side of the station.
    void startPeriod()
    {
        form->BuildGeneralView();
        form->BuildCurveSeries();
        form->StartRecordPeriod();
    }

    void tick()
    {
        now += 1 / SecondsPerDay;
        form->timer_PerSecondTimer();
    }

    const GeneralViewPanel& panel(int g) const { return form->GeneralViewControls->panel(g); }
    std::string periodFile(const char* name) const { return dir.file(std::string("18年10月/") + name); }

    WorkDir dir;
    MessageBoxCapture boxes;
    SoundCapture sounds;
    TDateTime now = EncodeDateTime(2018, 10, 18, 9, 5, 3);
    std::unique_ptr<Tfm_MainForm> form;
    std::unique_ptr<TFormAlarm> alarmWindow;
};
