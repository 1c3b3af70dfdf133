#pragma once
#include <cstdint>

#include "platform/PortHandle.h"
#include "shared/DeviceTable.h"
#include "shared/SetValueRequest.h"

// How long the GUI thread waits for a polling thread to serve its request.
constexpr unsigned SetValueWaitMs = 1000;

// The handle of the port whose serial thread serves the device in slot: its
// COM port's as it stands now; for an Ethernet device, or a slot not in use,
// a handle no polling thread holds.
PortHandle setValuePort(const DeviceTable& table, int slot);

// The GUI thread's part of one set-value read or write, for the target
// already in sv: posts the request (a write with value) to port, sleeps,
// then withdraws it, so that a late thread no longer serves it. True when a
// thread served it with success within the wait; a read's value is then in
// SvValue. A request given up earlier whose thread is still on the line is
// waited for first; should it never end, nothing is posted and the answer
// is false.
bool exchangeSetValue(SetValueRequest& sv, std::uint8_t kind, PortHandle port, std::int16_t value = 0);
