#include "station/core/HistoryWriter.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/Gbk.h"
#include "shared/ChannelOrder.h"
#include "station/core/BlockFile.h"
#include "station/core/RecordFolders.h"

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
    ensureFolderOf(path);
    return createWithHead(path, &header, sizeof header);
}

std::size_t appendHistoryRecords(const std::string& path, const float* values, int count, std::size_t records)
{
    std::FILE* file = openBlockFile(path, "r+b");
    if (!file)
        return 0;
    std::size_t written = 0;
    if (fseeko(file, 0, SEEK_END) == 0) {
        const off_t size = ftello(file);
        if (size >= off_t(HistoryHeaderSize)) {
            const std::size_t recordSize = historyRecordSize(count);
            off_t end = off_t(HistoryHeaderSize + historyRecordCount(size, count) * recordSize);
            while (written < records && writeBlock(file, end, values + written * std::size_t(count), recordSize)) {
                end += off_t(recordSize);
                ++written;
            }
        }
    }
    // Counted records are on the file: writing them again would shift the rest.
    std::fclose(file);
    return written;
}

void HistoryRecorder::start(const std::string& baseDir, const std::string& path,
                            std::unique_ptr<HistoryFileHeader> header)
{
    writeLastWaiting();
    baseDir_ = baseDir;
    PeriodHistoryPath = path;
    HistoryInterval = header->RecordInterval;
    NextHistoryTime = header->StartTime;
    header_ = std::move(header);
    waiting_.clear();
    fileGivenUp_ = false;
    headerWritten_ = writeHistoryHeader(PeriodHistoryPath, *header_);
}

void HistoryRecorder::recordIfDue(TDateTime now, const float* row, int count)
{
    if (!header_ || (fileGivenUp_ && !beginNewFile(now)))
        return;
    if (HistoryInterval > 0 && NextHistoryTime < now) {
        NextHistoryTime += HistoryInterval / SecondsPerDay;
        keep(row, count);
    }
    writeWaiting();
}

void HistoryRecorder::writeLastWaiting()
{
    if (header_ && !fileGivenUp_)
        writeWaiting();
}

void HistoryRecorder::keep(const float* row, int count)
{
    // Records without channels have no bytes, hence no place to keep.
    if (count <= 0)
        return;
    if ((waiting_.size() + std::size_t(count)) * sizeof(float) > MaxWaitingBytes) {
        waiting_.clear();
        waiting_.shrink_to_fit();
        fileGivenUp_ = true;
        return;
    }
    valuesPerRecord_ = count;
    // Grown by hand, so that doubling never takes the buffer past the bound.
    const std::size_t needed = waiting_.size() + std::size_t(count);
    if (needed > waiting_.capacity())
        waiting_.reserve(std::min(std::max(needed, 2 * waiting_.capacity()), MaxWaitingBytes / sizeof(float)));
    waiting_.insert(waiting_.end(), row, row + count);
}

void HistoryRecorder::writeWaiting()
{
    if (!headerWritten_ && !fileGivenUp_)
        headerWritten_ = writeHistoryHeader(PeriodHistoryPath, *header_);
    if (!headerWritten_ || fileGivenUp_ || waiting_.empty())
        return;
    const std::size_t records = waiting_.size() / std::size_t(valuesPerRecord_);
    const std::size_t written = appendHistoryRecords(PeriodHistoryPath, waiting_.data(), valuesPerRecord_, records);
    waiting_.erase(waiting_.begin(), waiting_.begin() + std::ptrdiff_t(written * std::size_t(valuesPerRecord_)));
}

// A file of its own, named after now and starting at now, so that its
// records stand for their times again.
bool HistoryRecorder::beginNewFile(TDateTime now)
{
    const RecordPeriodPaths paths = recordPeriodPaths(baseDir_, now);
    header_->StartTime = now;
    if (!writeHistoryHeader(paths.historyPath, *header_))
        return false;
    PeriodHistoryPath = paths.historyPath;
    NextHistoryTime = now;
    headerWritten_ = true;
    fileGivenUp_ = false;
    return true;
}
