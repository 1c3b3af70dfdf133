#pragma once
#include <cstddef>
#include <cstdint>

#include "shared/MeterRecord.h"

// The history file: one header, then records of one float32 per channel in
// global channel order, back to back. No magic, version or trailer; a record
// carries no time stamp, its time follows from its position.

constexpr int HistoryNameSize = 80;

#pragma pack(push, 1)

struct HistoryFileHeader {
    double StartTime;              // time of record 0, days since 1899-12-30, local time
    std::int32_t RecordInterval;   // seconds between records; 0 = no records follow
    std::int32_t ChannelCount;     // N, 0..5760
    std::uint8_t Reserved1[4];
    char ChannelNames[MaxGlobalChannels][HistoryNameSize];  // MeterName + ChannelName, NUL, zeros
    std::uint8_t Reserved2[4];
};

// A record as held in memory: only the first ChannelCount values are stored.
struct HistoryRecord {
    float Values[MaxGlobalChannels];
};

#pragma pack(pop)

constexpr std::size_t HistoryHeaderSize = 460824;

static_assert(sizeof(HistoryFileHeader) == HistoryHeaderSize);
static_assert(offsetof(HistoryFileHeader, StartTime) == 0);
static_assert(offsetof(HistoryFileHeader, RecordInterval) == 8);
static_assert(offsetof(HistoryFileHeader, ChannelCount) == 12);
static_assert(offsetof(HistoryFileHeader, Reserved1) == 16);
static_assert(offsetof(HistoryFileHeader, ChannelNames) == 20);
static_assert(offsetof(HistoryFileHeader, Reserved2) == 460820);
static_assert(sizeof(HistoryRecord) == 23040);
static_assert(sizeof(float) == 4 && sizeof(double) == 8);

constexpr std::size_t historyRecordSize(int channelCount)
{
    return static_cast<std::size_t>(channelCount) * sizeof(float);
}

// Whole records in a file of the given size; a partial record at the end and
// a file with no channels count none.
constexpr std::uint64_t historyRecordCount(std::uint64_t fileSize, int channelCount)
{
    if (channelCount <= 0 || fileSize < HistoryHeaderSize)
        return 0;
    return (fileSize - HistoryHeaderSize) / historyRecordSize(channelCount);
}
