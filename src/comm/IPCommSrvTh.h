#pragma once
#include <cstdint>
#include <functional>

#include <QString>

#include "comm/CommThread.h"
#include "shared/MeterRecord.h"

class ClientSocket;

// Where connection texts go: panel 4 of the station's status bar. Called on
// the polling thread; it must hand the text over without waiting for the GUI.
using CommStatusSink = std::function<void(const QString&)>;

// The polling thread of all Ethernet devices: polls them in turn, each over a
// connection of its own that is opened for the poll and closed at the start
// of the next one.
class TIPCommSrvTh : public CommThread {
public:
    ~TIPCommSrvTh() override { terminateAndWait(); }

    std::int32_t PollCount = 0;
    MeterRecord* const* PollMeters = nullptr;
    ClientSocket* CommSocket = nullptr;
    CommStatusSink CommStatusBar;

    static constexpr unsigned ClosePauseMs = 50;
    // After a connection that did not come up: a device that refuses at once
    // would otherwise be dialled in a busy loop.
    static constexpr unsigned ConnectFailPauseMs = 300;

private:
    void execute() override;
    bool connectTo(const MeterRecord& meter);
};

// The device's IP text up to its NUL, never past its field.
QString MeterIpAddress(const MeterRecord& meter);
