#pragma once
#include <cstdint>

#include "platform/PortHandle.h"
#include "shared/MeterRecord.h"

class ClientSocket;

// Errors in a row after which a device is offline; the count stays there.
inline constexpr std::uint8_t OfflineErrCount = 5;
// A poll reply fits here: at most 5 + 2 * 48 = 101 bytes.
inline constexpr int PollReplyBufferSize = 120;

// One poll of the device with the read its register type selects; the
// outcome goes into the record's run-time part. A register type with no read
// sends nothing and counts as a failed poll.
void PollMeterSerial(PortHandle port, MeterRecord& meter);
void PollMeterTcp(ClientSocket& socket, MeterRecord& meter);

// A failed poll: counted up to OfflineErrCount, offline once there; values
// and alarm flags keep what the last good poll left.
void RecordPollFailure(MeterRecord& meter);

// A good reply: online, every channel's signed register scaled by 0.1 per
// decimal place and judged against its four limits, the count cleared.
void StorePollReply(MeterRecord& meter, const std::uint8_t* reply);

// The value of a signed 16-bit register scaled by 0.1 decimalPlaces times,
// each step in double precision and stored back as a 32-bit float.
float ScaleRegister(std::int16_t raw, int decimalPlaces);

// The signed 16-bit register whose high byte is at bytes[0].
inline std::int16_t RegisterAt(const std::uint8_t* bytes)
{
    return std::int16_t(std::uint16_t(bytes[0] << 8 | bytes[1]));
}
