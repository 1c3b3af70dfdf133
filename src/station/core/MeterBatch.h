#pragma once
#include <QString>
#include <cstdint>

#include "shared/DeviceTable.h"

// Many devices at once: MeterCount devices alike but for their consecutive
// addresses and numbered names, each with ChannelCount channels alike but for
// their numbered names and their colours.
struct MeterBatch {
    std::int32_t MeterCount = 0;
    std::int32_t ChannelCount = 0;
    std::int32_t StartAddr = 0;
    std::int32_t PreRecordTime = 0;
    std::int32_t StartReg = 0;
    std::int32_t IPPort = 0;
    float ChannelLLA = 0;
    float ChannelLA = 0;
    float ChannelHA = 0;
    float ChannelHHA = 0;
    std::uint8_t CommStyle = 0;
    std::uint8_t CommMod = 0;
    std::uint8_t CommSerial = 0;
    std::uint8_t ChannelPoin = 0;
    QString MeterName;    // the device's number in the table follows it
    QString ChannelName;  // the channel's number follows it
    QString IPAddr;
    QString ChannelUnit;
};

// Channel j of every new device gets entry j mod 16 (0x00BBGGRR).
inline constexpr std::int32_t BatchChannelColors[16] = {
    0xFF0000, 0x0000FF, 0x00FF00, 0x008000, 0xFFFFFF, 0x00FFFF, 0xFF00FF, 0xF0CAA6,
    0x808000, 0x008080, 0x800080, 0xFFFF00, 0xC0DCC0, 0x000080, 0x00A5FF, 0xC1B6FF};

// Why the batch cannot join a table that holds existingMeterCount devices,
// as the operator is told; empty when it can. A count of 0 or less devices
// is fine: it adds nothing.
QString meterBatchRefusal(const MeterBatch& batch, int existingMeterCount);

// Appends the batch's devices after the last device in use. A slot keeps
// whatever the batch has no value for (reserved bytes, channels past its
// count, the polled values), just as a single add leaves them.
void appendMeterBatch(DeviceTable& table, const MeterBatch& batch);
