#pragma once
#include <cstdint>

#include "comm/CommThread.h"
#include "platform/PortHandle.h"
#include "shared/MeterRecord.h"

// The polling thread of one COM port: polls the devices of its list in turn,
// and serves the set-value requests posted for its port. A request posted
// for another port holds it idle until that request is done with. A line that hangs up
// (an adapter pulled) is opened again about once a second under the same
// handle; meanwhile its devices fail their polls as on a silent line.
class TCommSrvTh : public CommThread {
public:
    ~TCommSrvTh() override { terminateAndWait(); }

    std::int32_t PollCount = 0;
    MeterRecord* const* PollMeters = nullptr;
    PortHandle hComm;

    // Pause between looks at another port's pending request.
    static constexpr unsigned RequestRecheckMs = 5;
    // Pause after an attempt to open a lost line again that failed.
    static constexpr unsigned ReopenPauseMs = 1000;

private:
    void execute() override;
    void markListOffline();
    void poll(MeterRecord& meter);
    void serveSetValue(std::uint8_t kind);
};
