#pragma once
// A station in a fresh base directory, ticked by hand on a settable clock,
// for the tests of the one-second cycle and what it drives.
#include <gtest/gtest.h>

#include <QStringList>
#include <QTimer>
#include <vector>

#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "platform/Sound.h"
#include "support/DeviceSlots.h"
#include "support/GuiApp.h"
#include "support/StationDriver.h"

// The devices are configured before start(); the clock moves one second per
// tick, and the test writes what the polling threads would.
class Station : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        SetClock([this] { return now; });
    }

    void TearDown() override
    {
        station.close();
        SetClock({});
    }

    // A device of these channels, in kPa.
    MeterConfig& addDevice(const char* name, std::vector<const char*> channels, int interval = 3600)
    {
        QStringList names;
        for (const char* channel : channels)
            names << QString::fromUtf8(channel);
        MeterConfig device = namedDevice(QString::fromUtf8(name), names);
        for (int j = 0; j < names.size(); ++j)
            copyToField(device.Channels[j].ChannelUnit, "kPa");
        device.PreRecordTime = interval;
        ++deviceCount;
        return station.addDevice(device);
    }

    // "[GSM]" of Res/GSM_Alarm.ini with the delay, the rest at its defaults.
    void writeAlarmDelay(const char* delay) const
    {
        station.writeBaseFile("Res/GSM_Alarm.ini", std::string("[GSM]\r\nDelay=") + delay + "\r\n");
    }

    // The start, which begins the recording period.
    void start()
    {
        station.start();
        runByHand();
    }

    // Configuration mode and back, the clock standing. The devices' missing
    // line has its thread mark them offline; then they answer again.
    void changeModes()
    {
        station.window().EnterConfigMode();
        station.window().EnterRunMode();
        runByHand();
    }

    // Run mode as the tests have it: the timer held, each device answering its polls.
    void runByHand()
    {
        station.timer().stop();
        for (int k = 0; k < deviceCount; ++k)
            polled(k).Online = 1;
    }

    void tick()
    {
        now += 1 / SecondsPerDay;
        station.tick();
    }

    MeterRecord& polled(int slot) const { return station.polled(slot); }
    const GeneralViewPanel& panel(int g) const { return station.panel(g); }
    std::string periodFile(const char* name) const { return station.dir().file(std::string("18年10月/") + name); }

    MessageBoxCapture boxes;
    SoundCapture sounds;
    TDateTime now = EncodeDateTime(2018, 10, 18, 9, 5, 3);
    StationDriver station;
    int deviceCount = 0;
};
