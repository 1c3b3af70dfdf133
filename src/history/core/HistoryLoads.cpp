#include "history/core/HistoryLoads.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

TDateTime timeAfterIntervals(TDateTime start, std::int64_t count, std::int32_t intervalSeconds)
{
    return start + double(static_cast<long double>(count) * intervalSeconds / static_cast<long double>(SecondsPerDay));
}

bool laterByAMillisecond(TDateTime a, TDateTime b)
{
    return std::llround(a * SecondsPerDay * 1000) > std::llround(b * SecondsPerDay * 1000);
}

namespace {

// The seconds from one time to another, to the millisecond.
double secondsBetween(TDateTime from, TDateTime to)
{
    return std::round((to * SecondsPerDay - from * SecondsPerDay) * 1000) / 1000;
}

// A count of intervals as a record index. Beyond 64 bits it names no record
// of any file and is held at the end of the range it passes.
std::int64_t recordIndex(double intervals)
{
    constexpr double Beyond = 0x1p63;
    if (std::isnan(intervals))
        return 0;
    if (intervals >= Beyond)
        return std::numeric_limits<std::int64_t>::max();
    if (intervals <= -Beyond)
        return std::numeric_limits<std::int64_t>::min();
    return std::int64_t(intervals);
}

// Whether a load stops once it has taken that many records, the running time
// t after the last one's step.
bool stopsAfter(const LoadStop& stop, std::int64_t taken, TDateTime t)
{
    if (taken == 1)
        return false;
    return (stop.after && laterByAMillisecond(t, *stop.after)) || (stop.maxRecords > 0 && taken >= stop.maxRecords);
}

} // namespace

std::int64_t wholeIntervals(TDateTime from, TDateTime to, std::int32_t intervalSeconds)
{
    return recordIndex(std::trunc(secondsBetween(from, to) / intervalSeconds));
}

std::int64_t intervalsUpward(TDateTime from, TDateTime to, std::int32_t intervalSeconds)
{
    return recordIndex(std::ceil(secondsBetween(from, to) / intervalSeconds));
}

int gaugeCount(std::int64_t records)
{
    return int(std::clamp<std::int64_t>(records, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

LoadOutcome loadRecords(HistoryFileReader& file, LoadColumns& columns, TDateTime start, const LoadStop& stop,
                        const std::function<void()>& onRecord)
{
    const double step = file.step();
    std::vector<TDateTime> times;
    TDateTime t = start;
    for (;;) {
        // No further than the count rule takes, but one record at least: the
        // rules never stop a load at its first.
        const int wanted = stop.maxRecords > 0 ? std::max(stop.maxRecords - columns.count(), 1)
                                               : std::numeric_limits<int>::max();
        const int read = file.readRecords(wanted);
        if (read == 0)
            return {t, true};
        times.clear();
        bool stopped = false;
        while (!stopped && int(times.size()) < read) {
            times.push_back(t);
            onRecord();
            t += step;
            stopped = stopsAfter(stop, columns.count() + std::int64_t(times.size()), t);
        }
        columns.append(file.records(), int(times.size()), file.channelCount(), times.data());
        if (stopped) {
            // The records read past the stop stay for the next load.
            const int unread = read - int(times.size());
            file.seek(file.position() - unread * std::int64_t(historyRecordSize(file.channelCount())));
            return {t, false};
        }
    }
}

int pageLength(const HistoryFileReader& file)
{
    return int(std::min<std::uint64_t>(file.recordsFrom(file.position()), PageRecords));
}

QString HistoryLoads::rangeText(const QString& caption) const
{
    const QString format = QStringLiteral("YY-MM-DD HH:NN:SS");
    return caption + FormatDateTime(format, HistStartTime) + QStringLiteral(" 至 ") + FormatDateTime(format, HistEndTime)
         + QString(9, u' ');
}

int HistoryLoads::beginOpen(const std::string& path, const HistoryFileReader& file)
{
    const std::uint64_t records = file.recordCount();
    const std::int32_t interval = file.header().RecordInterval;
    HistFilePath = path;
    PageEndPos = file.position();
    PageTotal = std::int32_t(records / PageRecords + 1);
    PageCurrent = 1;
    HistStartTime = file.header().StartTime;
    PageNextTime = HistStartTime;
    HistEndTime = timeAfterIntervals(HistStartTime, std::int64_t(records), interval);
    return int(std::min<std::uint64_t>(records, PageRecords));
}

bool HistoryLoads::beginNextPage(HistoryFileReader& file)
{
    if (!file.seek(PageEndPos))
        return false;
    ++PageCurrent;
    return true;
}

bool HistoryLoads::beginPreviousPage(HistoryFileReader& file)
{
    const auto recordSize = std::int64_t(historyRecordSize(file.channelCount()));
    const std::int64_t start = PageStartPos - PageRecords * recordSize;
    if (start < std::int64_t(HistoryHeaderSize) || !file.seek(start))
        return false;
    PageNextTime = timeAfterIntervals(PageStartTime, -PageRecords, file.header().RecordInterval);
    PageEndPos = start;
    --PageCurrent;
    return true;
}

void HistoryLoads::endPage(const HistoryFileReader& file, const LoadOutcome& outcome)
{
    PageStartPos = PageEndPos;
    PageEndPos = file.position();
    PageStartTime = PageNextTime;
    PageNextTime = outcome.nextTime;
}

HistoryLoads::FindRange HistoryLoads::checkFindRange(TDateTime start, TDateTime end) const
{
    if (laterByAMillisecond(start, HistEndTime) || laterByAMillisecond(end, HistEndTime))
        return FindRange::AboveEnd;
    if (laterByAMillisecond(HistStartTime, start) || laterByAMillisecond(HistStartTime, end))
        return FindRange::BelowStart;
    if (laterByAMillisecond(start, end))
        return FindRange::StartAfterEnd;
    return FindRange::Inside;
}

bool HistoryLoads::beginFind(HistoryFileReader& file, TDateTime start) const
{
    return file.seekRecord(wholeIntervals(HistStartTime, start, file.header().RecordInterval));
}
