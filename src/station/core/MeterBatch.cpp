#include "station/core/MeterBatch.h"

#include <algorithm>

#include "platform/Gbk.h"

QString meterBatchRefusal(const MeterBatch& batch, int existingMeterCount)
{
    // In 64 bits: a typed count near the int range must not wrap below 120.
    if (std::int64_t(batch.MeterCount) + existingMeterCount > MaxMeters)
        return QStringLiteral("添加后设备个数大于120台, 请减少要添加的设备数!");
    if (batch.ChannelCount > MaxChannels)
        return QStringLiteral("设备通道数不得大于48个, 请减少要添加的通道数!");
    if (batch.ChannelCount < 1)
        return QStringLiteral("每台设备至少要有1个通道!");
    return {};
}

namespace {

void fillChannel(ChannelRecord& channel, const MeterBatch& batch, int j)
{
    copyToField(channel.ChannelName, batch.ChannelName + QString::number(j + 1));
    channel.ChannelLLA = batch.ChannelLLA;
    channel.ChannelLA = batch.ChannelLA;
    channel.ChannelHA = batch.ChannelHA;
    channel.ChannelHHA = batch.ChannelHHA;
    channel.ChannelPoin = batch.ChannelPoin;
    channel.ChannelColor = BatchChannelColors[j % std::size(BatchChannelColors)];
    copyToField(channel.ChannelUnit, batch.ChannelUnit);
}

}  // namespace

void appendMeterBatch(DeviceTable& table, const MeterBatch& batch)
{
    const int channels = std::clamp(batch.ChannelCount, 0, MaxChannels);
    for (int i = 0; i < batch.MeterCount && table.MeterCount < MaxMeters; ++i) {
        const int slot = table.MeterCount;
        MeterRecord& meter = table.MeterRecords[slot];
        // Addresses and registers wrap to their fields' widths (255 + 1 is 0).
        meter.MeterAddr = static_cast<std::uint8_t>(static_cast<unsigned>(batch.StartAddr) + unsigned(i));
        meter.PreRecordTime = batch.PreRecordTime;
        meter.CommStyle = batch.CommStyle;
        meter.CommMod = batch.CommMod;
        meter.CommStartReg = static_cast<std::uint16_t>(batch.StartReg);
        meter.CommSerial = batch.CommSerial;
        copyToField(meter.MeterName, batch.MeterName + QString::number(slot + 1));
        copyToField(meter.IPAddr, batch.IPAddr);
        meter.IPPort = batch.IPPort;
        meter.ChannelNum = static_cast<std::uint8_t>(channels);
        for (int j = 0; j < channels; ++j)
            fillChannel(meter.Channels[j], batch, j);
        ++table.MeterCount;
    }
}
