// The station at its full size for the benchmarks: 120 devices of 48 channels
// in the driver's fresh base directory, the window 1920 x 1080 offscreen, on
// a clock that the benchmark advances. The benchmark writes the polled values.
#pragma once

#include "BenchMain.h"

#include <QApplication>
#include <QTabWidget>
#include <QTimer>

#include "platform/Colors.h"
#include "platform/DateTime.h"
#include "support/DeviceSlots.h"
#include "support/StationDriver.h"

class FullStation {
public:
    // Devices whose log and history intervals are recordInterval seconds.
    explicit FullStation(int recordInterval)
    {
        SetClock([this] { return now_; });
        for (int k = 0; k < MaxMeters; ++k)
            configureDevice(k, recordInterval);
    }

    ~FullStation()
    {
        station_.close();
        SetClock({});
    }

    // The start into run mode, the timer held; every device answers.
    void start()
    {
        station_.start();
        station_.timer().stop();
        for (int k = 0; k < MaxMeters; ++k) {
            meters_[k] = &station_.polled(k);
            meters_[k]->Online = 1;
        }
    }

    StationDriver& station() { return station_; }
    Tfm_MainForm& form() { return station_.window(); }
    // Device k's record as its polling thread would write it.
    MeterRecord& polled(int k) { return *meters_[k]; }
    TDateTime now() const { return now_; }

    // One tick of the one-second cycle, a second later than the last.
    void tick()
    {
        now_ += 1 / SecondsPerDay;
        station_.tick();
    }

    // Shows the window at full size with the given tab in front.
    void showWith(const char* tab)
    {
        station_.widget<QTabWidget>("pgContr_MainForm").setCurrentWidget(&station_.widget<QWidget>(tab));
        form().showNormal();
        form().resize(1920, 1080);
        QApplication::processEvents();
    }

private:
    void configureDevice(int k, int recordInterval)
    {
        MeterConfig& m = station_.addDevice(
            namedDevice(QStringLiteral("锅炉%1").arg(k + 1), numberedNames(QStringLiteral("温度"), MaxChannels)));
        m.PreRecordTime = recordInterval;
        for (int j = 0; j < MaxChannels; ++j) {
            ChannelRecord& c = m.Channels[j];
            copyToField(c.ChannelUnit, QStringLiteral("℃"));
            c.ChannelColor = TColor((k * MaxChannels + j) * 2654435761u >> 8);
        }
    }

    TDateTime now_ = EncodeDateTime(2018, 10, 18, 9, 5, 3);
    StationDriver station_;
    MeterRecord* meters_[MaxMeters] = {};
};
