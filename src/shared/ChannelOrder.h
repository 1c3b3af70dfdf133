#pragma once
#include "shared/MeterRecord.h"

// The station's one channel numbering: devices in slot order, each device's
// channels 0..ChannelNum-1 in order. Calls visit(slot, channel, globalIndex)
// for every configured channel and returns the total.
template <typename Visit>
int forEachChannel(const MeterRecord* meters, int meterCount, Visit&& visit)
{
    int global = 0;
    for (int slot = 0; slot < meterCount; ++slot)
        for (int channel = 0; channel < meters[slot].channelCount(); ++channel)
            visit(slot, channel, global++);
    return global;
}

inline int totalChannels(const MeterRecord* meters, int meterCount)
{
    return forEachChannel(meters, meterCount, [](int, int, int) {});
}

inline int globalChannelIndex(const MeterRecord* meters, int slot, int channel)
{
    return totalChannels(meters, slot) + channel;
}
