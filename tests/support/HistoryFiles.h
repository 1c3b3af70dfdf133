#pragma once
// History files for the tests, written with the station's record types.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "shared/HistoryFile.h"

// Channel j's value in record k: exact in float32 and different everywhere.
inline float recordValue(std::int64_t k, int j)
{
    return float(k) + 0.25f * float(j);
}

// The same for record indexes far beyond float32's whole numbers.
inline float farRecordValue(std::int64_t k, int j)
{
    return float(k % 1000) + 0.25f * float(j);
}

struct HistoryFileSpec {
    TDateTime start = EncodeDateTime(2018, 10, 18, 9, 5, 0);
    std::int32_t interval = 60;
    std::int32_t channels = 4;
    std::int64_t records = 3;
    std::size_t trailingBytes = 0;  // a record cut short at the end
    std::int64_t unwrittenRecords = 0;  // the first ones, left a hole that reads as zeros
    float (*value)(std::int64_t k, int j) = recordValue;
};

// One channel, one-second records, 1,000 more than 2^31 of them; only the last
// three written, the rest a hole of the sparse file.
inline HistoryFileSpec beyond32BitsSpec()
{
    const std::int64_t records = (std::int64_t(1) << 31) + 1000;
    return {.interval = 1, .channels = 1, .records = records, .unwrittenRecords = records - 3, .value = farRecordValue};
}

// The time after the file's last whole record: the end of its range.
inline TDateTime historyFileEnd(const HistoryFileSpec& spec)
{
    return spec.start + double(spec.records) * spec.interval / SecondsPerDay;
}

// "锅炉" + "温度<j>": what the station names channel j.
inline QString channelName(int j)
{
    return QStringLiteral("锅炉温度%1").arg(j);
}

inline std::unique_ptr<HistoryFileHeader> historyHeader(const HistoryFileSpec& spec)
{
    auto header = std::make_unique<HistoryFileHeader>();
    header->StartTime = spec.start;
    header->RecordInterval = spec.interval;
    header->ChannelCount = spec.channels;
    for (int j = 0; j < spec.channels && j < MaxGlobalChannels; ++j)
        copyToField(header->ChannelNames[j], channelName(j));
    return header;
}

inline void writeHistoryFile(const std::string& path, const HistoryFileSpec& spec)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    std::fwrite(historyHeader(spec).get(), sizeof(HistoryFileHeader), 1, file);
    fseeko(file, off_t(spec.unwrittenRecords * std::int64_t(historyRecordSize(spec.channels))), SEEK_CUR);
    auto record = std::make_unique<HistoryRecord>();
    for (std::int64_t k = spec.unwrittenRecords; k < spec.records; ++k) {
        for (int j = 0; j < spec.channels; ++j)
            record->Values[j] = spec.value(k, j);
        std::fwrite(record->Values, historyRecordSize(spec.channels), 1, file);
    }
    std::fwrite(record->Values, 1, spec.trailingBytes, file);
    std::fclose(file);
}
