#pragma once
#include <cstdint>

#include "platform/PortHandle.h"
#include "shared/MeterRecord.h"

// The station's device and port tables. The main window owns one; the poll
// lists and the polling threads hold pointers into it, so it never moves.
struct DeviceTable {
    MeterRecord MeterRecords[MaxMeters];
    std::int32_t MeterCount = 0;
    PortPollList PortPollLists[MaxComPorts];
    PortPollList EthPollList;
    std::int32_t PortBaudTable[MaxComPorts] = {};
    PortHandle PortHandles[MaxComPorts];

    DeviceTable() = default;
    DeviceTable(const DeviceTable&) = delete;
    DeviceTable& operator=(const DeviceTable&) = delete;
};
