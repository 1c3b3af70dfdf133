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

// One set-value read or write as the GUI thread sees it, for the target in
// sv. The request is withdrawn after the wait so that a thread reaching it
// late cannot act on a request the operator was already told had failed;
// true only when it was served in time (a read's value then in SvValue).
// An earlier request still on the line is waited out first, and if it never
// ends nothing new is posted.
bool exchangeSetValue(SetValueRequest& sv, std::uint8_t kind, PortHandle port, std::int16_t value = 0);
