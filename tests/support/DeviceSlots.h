#pragma once
// Device slots as the station's tests fill them: a device is a name and its
// channels' names, every other field zero, and each test sets on top what
// it is about.
#include <QString>
#include <QStringList>

#include <cstdint>

#include "platform/Gbk.h"
#include "shared/DeviceTable.h"
#include "shared/MeterRecord.h"

inline MeterConfig namedDevice(const QString& name, const QStringList& channels)
{
    MeterConfig m{};
    copyToField(m.MeterName, name);
    m.ChannelNum = std::uint8_t(channels.size());
    for (int j = 0; j < channels.size() && j < MaxChannels; ++j)
        copyToField(m.Channels[j].ChannelName, channels[j]);
    return m;
}

// prefix + "1" .. prefix + count.
inline QStringList numberedNames(const QString& prefix, int count)
{
    QStringList names;
    for (int n = 1; n <= count; ++n)
        names << prefix + QString::number(n);
    return names;
}

// The device in the next free slot of meters, count slots of which are in
// use; handed out for the run-time fields a test sets.
inline MeterRecord& appendDevice(MeterRecord* meters, std::int32_t& count, const MeterConfig& device)
{
    MeterRecord& m = meters[count++];
    m.config() = device;
    return m;
}

inline MeterRecord& appendDevice(DeviceTable& table, const MeterConfig& device)
{
    return appendDevice(table.MeterRecords, table.MeterCount, device);
}
