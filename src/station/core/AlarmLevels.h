#pragma once
#include <cstdint>

#include "shared/MeterRecord.h"

// The four alarm levels in the order every routine takes them: LL, L, H, HH.
struct AlarmLevel {
    Relaxed<std::uint8_t> (MeterRecord::*flags)[MaxChannels];
    const char* typeText;
};

inline constexpr AlarmLevel AlarmLevels[] = {
    {&MeterRecord::AlarmLLA, "LLA"},
    {&MeterRecord::AlarmLA, "LA"},
    {&MeterRecord::AlarmHA, "HA"},
    {&MeterRecord::AlarmHHA, "HHA"},
};
constexpr int AlarmLevelCount = 4;

inline bool alarmFlag(const MeterRecord& meter, int level, int channel)
{
    return (meter.*AlarmLevels[level].flags)[channel] != 0;
}

// The channel's flags as bits, level i in bit i (LL 1, L 2, H 4, HH 8).
inline std::uint8_t channelAlarmBits(const MeterRecord& meter, int channel)
{
    std::uint8_t bits = 0;
    for (int level = 0; level < AlarmLevelCount; ++level)
        if (alarmFlag(meter, level, channel))
            bits |= static_cast<std::uint8_t>(1u << level);
    return bits;
}
