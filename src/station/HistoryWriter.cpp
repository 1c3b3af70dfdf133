#include "station/HistoryWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/types.h>

#include "platform/Gbk.h"
#include "shared/ChannelOrder.h"
#include "station/RecordFolders.h"

namespace {

void putChannelName(char* entry, const MeterConfig& meter, int channel)
{
    const std::string_view meterName = fieldBytes(meter.MeterName);
    const std::string_view channelName = fieldBytes(meter.Channels[channel].ChannelName);
    const std::size_t room = HistoryNameSize - 1;
    const std::size_t first = std::min(meterName.size(), room);
    const std::size_t second = std::min(channelName.size(), room - first);
    std::memcpy(entry, meterName.data(), first);
    std::memcpy(entry + first, channelName.data(), second);
}

}  // namespace

RecordPeriodPaths recordPeriodPaths(const std::string& baseDir, TDateTime t)
{
    RecordPeriodPaths paths;
    paths.monthFolder = monthFolderPath(baseDir, t);
    const std::string name = paths.monthFolder + "/" + FormatDateTime("DD'日'HH'时'NN'分'SS'秒'", t).toStdString();
    paths.historyPath = name + ".nx";
    paths.alarmPath = name + ".xls";
    return paths;
}

std::unique_ptr<HistoryFileHeader> makeHistoryHeader(TDateTime startTime, std::int32_t interval,
                                                     const MeterRecord* meters, int meterCount)
{
    auto header = std::make_unique<HistoryFileHeader>();
    header->StartTime = startTime;
    header->RecordInterval = interval;
    header->ChannelCount = forEachChannel(meters, meterCount, [&](int slot, int channel, int global) {
        putChannelName(header->ChannelNames[global], meters[slot], channel);
    });
    return header;
}

bool writeHistoryHeader(const std::string& path, const HistoryFileHeader& header)
{
    FILE* file = std::fopen(path.c_str(), "w+b");
    if (!file)
        return false;
    const bool written = std::fwrite(&header, sizeof header, 1, file) == 1;
    return std::fclose(file) == 0 && written;
}

bool appendHistoryRecord(const std::string& path, const float* values, int count)
{
    FILE* file = std::fopen(path.c_str(), "r+b");
    if (!file)
        return false;
    bool written = false;
    if (fseeko(file, 0, SEEK_END) == 0) {
        const off_t size = ftello(file);
        if (size >= static_cast<off_t>(HistoryHeaderSize)) {
            const off_t end = static_cast<off_t>(HistoryHeaderSize
                                                 + historyRecordCount(size, count) * historyRecordSize(count));
            // A station without channels has no row to hand to fwrite.
            written = fseeko(file, end, SEEK_SET) == 0
                   && (count == 0 || std::fwrite(values, sizeof(float), count, file) == static_cast<std::size_t>(count));
        }
    }
    return std::fclose(file) == 0 && written;
}

void HistoryRecorder::start(const std::string& path, std::unique_ptr<HistoryFileHeader> header)
{
    PeriodHistoryPath = path;
    HistoryInterval = header->RecordInterval;
    NextHistoryTime = header->StartTime;
    unwrittenHeader_.reset();
    if (!writeHistoryHeader(PeriodHistoryPath, *header))
        unwrittenHeader_ = std::move(header);
}

bool HistoryRecorder::recordIfDue(TDateTime now, const float* row, int count)
{
    if (HistoryInterval <= 0 || !(NextHistoryTime < now))
        return false;
    if (unwrittenHeader_) {
        if (!writeHistoryHeader(PeriodHistoryPath, *unwrittenHeader_))
            return false;
        unwrittenHeader_.reset();
    }
    if (!appendHistoryRecord(PeriodHistoryPath, row, count))
        return false;
    NextHistoryTime += HistoryInterval / SecondsPerDay;
    return true;
}
