#pragma once
#include <cstdint>

#include "platform/PortHandle.h"
#include "shared/MeterRecord.h"

// The station's device and port tables, in one block that the main window
// owns for its whole life: poll lists and polling threads keep pointers
// into it, so it is never copied or moved.
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
