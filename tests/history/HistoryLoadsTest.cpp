#include <gtest/gtest.h>

#include <vector>

#include "history/core/HistoryLoads.h"
#include "history/core/MemoryBudget.h"
#include "support/HistoryFiles.h"
#include "support/WorkDir.h"

namespace {

constexpr std::int64_t FirstRecord = std::int64_t(HistoryHeaderSize);

struct Loaded {
    std::vector<TDateTime> times;
    std::vector<float> channel1;
    LoadOutcome outcome;
};

Loaded load(HistoryFileReader& file, TDateTime start, const LoadStop& stop)
{
    LoadColumns columns(file.shownChannelCount(), 2);
    int records = 0;
    Loaded result;
    result.outcome = loadRecords(file, columns, start, stop, [&] { ++records; });
    EXPECT_EQ(records, columns.count()) << "one step of progress per record";
    for (int k = 0; k < columns.count(); ++k) {
        result.times.push_back(columns.time(k));
        result.channel1.push_back(columns.column(1)[k]);
    }
    return result;
}

// Every record's time is the one before plus a step: added, never
// multiplied, however the doubles round.
TEST(RecordLoading, TimesRunStepByStep)
{
    WorkDir dir;
    const HistoryFileSpec spec{.start = EncodeDateTime(2018, 10, 18, 9, 5, 3, 117), .interval = 7, .channels = 2, .records = 500};
    writeHistoryFile(dir.file("h.nx"), spec);
    HistoryFileReader file;
    ASSERT_EQ(file.open(dir.file("h.nx")), HistoryFileReader::Opened::Yes);
    const Loaded loaded = load(file, spec.start, {});
    ASSERT_EQ(loaded.times.size(), 500u);
    const double step = 7 / 86400.0;
    TDateTime t = spec.start;
    bool multiplyingDiffers = false;
    for (std::size_t k = 0; k < loaded.times.size(); ++k) {
        EXPECT_EQ(loaded.times[k], t) << "record " << k;
        EXPECT_EQ(loaded.channel1[k], recordValue(std::int64_t(k), 1));
        multiplyingDiffers = multiplyingDiffers || t != spec.start + double(k) * step;
        t += step;
    }
    EXPECT_TRUE(multiplyingDiffers) << "the case must tell adding from multiplying";
    EXPECT_EQ(loaded.outcome.nextTime, t);
    EXPECT_TRUE(loaded.outcome.metEnd);
}

struct StopCase {
    const char* name;
    std::int64_t records;
    LoadStop stop;
    std::size_t taken;
    bool metEnd;
};

TEST(RecordLoading, StopsOnTimeCountOrTheEndButNeverAfterTheFirstRecord)
{
    const TDateTime start = 43391.5;
    const double step = 60 / 86400.0;
    const std::vector<StopCase> cases = {
        {"end of the file", 5, {}, 5, true},
        {"count reached with records left", 5, {.maxRecords = 3}, 3, false},
        {"count reached on the last record", 3, {.maxRecords = 3}, 3, false},
        {"time passed after the first record still takes a second", 5, {.after = start}, 2, false},
        {"time passed in the middle", 10, {.after = start + 3.5 * step}, 4, false},
        {"a record right at the end time is taken", 10, {.after = start + 7 * step}, 8, false},
        {"no record at all", 0, {.maxRecords = 3}, 0, true},
    };
    for (const StopCase& c : cases) {
        WorkDir dir;
        writeHistoryFile(dir.file("h.nx"), {.start = start, .channels = 2, .records = c.records});
        HistoryFileReader file;
        ASSERT_EQ(file.open(dir.file("h.nx")), HistoryFileReader::Opened::Yes);
        const Loaded loaded = load(file, start, c.stop);
        EXPECT_EQ(loaded.times.size(), c.taken) << c.name;
        EXPECT_EQ(loaded.outcome.metEnd, c.metEnd) << c.name;
        EXPECT_EQ(file.position(), FirstRecord + std::int64_t(c.taken) * 8) << c.name;
    }
}

// Records are read many at a time: wide records over several reads, the
// first 128 channels taken, a stop in the middle of a read leaving the file
// right after the last record taken, and a partial record at the end left.
TEST(RecordLoading, TakesWideRecordsAcrossReadsAndStopsExactlyAfterTheLastTaken)
{
    WorkDir dir;
    const HistoryFileSpec spec{.interval = 1, .channels = 130, .records = 3000, .trailingBytes = 100};
    writeHistoryFile(dir.file("wide.nx"), spec);
    const std::int64_t recordSize = 130 * 4;
    HistoryFileReader file;
    ASSERT_EQ(file.open(dir.file("wide.nx")), HistoryFileReader::Opened::Yes);

    LoadColumns first(MaxShownChannels, 1);
    const LoadOutcome stopped = loadRecords(file, first, spec.start, {.after = timeAfterIntervals(spec.start, 1200, 1)}, [] {});
    EXPECT_FALSE(stopped.metEnd);
    ASSERT_EQ(first.count(), 1201);
    EXPECT_EQ(file.position(), FirstRecord + 1201 * recordSize);

    LoadColumns rest(MaxShownChannels, 1);
    const LoadOutcome ended = loadRecords(file, rest, stopped.nextTime, {}, [] {});
    EXPECT_TRUE(ended.metEnd);
    ASSERT_EQ(rest.count(), 3000 - 1201);
    EXPECT_EQ(file.position(), FirstRecord + 3000 * recordSize);
    bool allInPlace = true;
    for (int k = 0; k < rest.count(); ++k)
        for (int j : {0, 1, 127})
            allInPlace = allInPlace && rest.column(j)[k] == recordValue(1201 + k, j);
    EXPECT_TRUE(allInPlace);
}

TEST(HistoryLoads, WholeIntervalsTruncateAfterMillisecondRounding)
{
    const TDateTime start = EncodeDateTime(2018, 10, 18, 9, 5, 3, 117);
    const TDateTime end = timeAfterIntervals(start, 45000, 60);
    EXPECT_EQ(wholeIntervals(start, end, 60), 45000) << "the end of the file is the record after the last";
    EXPECT_EQ(wholeIntervals(start, start + 30 / 86400.0, 60), 0);
    EXPECT_EQ(wholeIntervals(start, start + 119.9 / 86400.0, 60), 1);
    EXPECT_EQ(wholeIntervals(start, start - 119.9 / 86400.0, 60), -1) << "toward zero";
    EXPECT_EQ(wholeIntervals(0, 1e9, 1), std::int64_t(86400) * 1000000000) << "64 bits, like the file offsets";
}

// Open, next and back keep the page's file offsets and times in step: pages
// of 20,000 records, the previous page exactly 20,000 records and steps back.
TEST(HistoryLoads, PagesMoveTwentyThousandRecordsAtATime)
{
    WorkDir dir;
    const HistoryFileSpec spec{.interval = 10, .channels = 2, .records = 45000};
    writeHistoryFile(dir.file("h.nx"), spec);
    const std::int64_t recordSize = 8;
    HistoryLoads loads;
    auto page = [&](auto begin) {
        HistoryFileReader file;
        EXPECT_EQ(file.open(dir.file("h.nx")), HistoryFileReader::Opened::Yes);
        EXPECT_TRUE(begin(file));
        const int length = pageLength(file);
        LoadColumns columns(2, length);
        const TDateTime start = loads.PageNextTime;
        const LoadOutcome outcome = loadRecords(file, columns, start, {.maxRecords = PageRecords}, [] {});
        loads.endPage(file, outcome);
        return std::pair{length, columns.column(0)[0]};
    };

    const auto [firstLength, firstValue] = page([&](HistoryFileReader& file) {
        EXPECT_EQ(loads.beginOpen("h.nx", file), PageRecords);
        return true;
    });
    EXPECT_EQ(loads.PageTotal, 3);
    EXPECT_EQ(loads.HistStartTime, spec.start);
    EXPECT_EQ(loads.HistEndTime, timeAfterIntervals(spec.start, 45000, 10));
    EXPECT_EQ(loads.PageStartPos, FirstRecord);
    EXPECT_EQ(loads.PageEndPos, FirstRecord + PageRecords * recordSize);
    EXPECT_EQ(firstValue, recordValue(0, 0));

    const auto [secondLength, secondValue] = page([&](HistoryFileReader& file) { return loads.beginNextPage(file); });
    EXPECT_EQ(secondValue, recordValue(20000, 0));
    const auto [thirdLength, thirdValue] = page([&](HistoryFileReader& file) { return loads.beginNextPage(file); });
    EXPECT_EQ(thirdLength, 5000);
    EXPECT_EQ(thirdValue, recordValue(40000, 0));
    EXPECT_EQ(loads.PageCurrent, 3);
    const TDateTime thirdStart = loads.PageStartTime;

    const auto [backLength, backValue] = page([&](HistoryFileReader& file) { return loads.beginPreviousPage(file); });
    EXPECT_EQ(backLength, PageRecords);
    EXPECT_EQ(backValue, recordValue(20000, 0));
    EXPECT_EQ(loads.PageCurrent, 2);
    EXPECT_EQ(loads.PageStartPos, FirstRecord + 20000 * recordSize);
    EXPECT_EQ(loads.PageStartTime, timeAfterIntervals(thirdStart, -PageRecords, 10));

    page([&](HistoryFileReader& file) { return loads.beginPreviousPage(file); });
    EXPECT_EQ(loads.PageStartPos, FirstRecord);
    HistoryFileReader file;
    ASSERT_EQ(file.open(dir.file("h.nx")), HistoryFileReader::Opened::Yes);
    EXPECT_FALSE(loads.beginPreviousPage(file)) << "no page before the first record";
    EXPECT_EQ(loads.PageCurrent, 1);
}

TEST(HistoryLoads, FindChecksTheRangeInOrder)
{
    HistoryLoads loads;
    loads.HistStartTime = 100;
    loads.HistEndTime = 101;
    using R = HistoryLoads::FindRange;
    EXPECT_EQ(loads.checkFindRange(99, 102), R::AboveEnd) << "the upper limit is asked first";
    EXPECT_EQ(loads.checkFindRange(99, 100.5), R::BelowStart);
    EXPECT_EQ(loads.checkFindRange(100.6, 100.5), R::StartAfterEnd);
    EXPECT_EQ(loads.checkFindRange(101, 101), R::Inside);
    EXPECT_EQ(loads.checkFindRange(100, 100), R::Inside);
}

} // namespace

namespace {

// A load that the machine cannot hold is refused before it is read; what the
// previous load gives back counts as free.
TEST(MemoryBudget, CountsWhatIsGivenBack)
{
    const std::uint64_t beyond = availableMemory() + (1ull << 30);
    EXPECT_FALSE(fitsInMemory(beyond, 0));
    EXPECT_TRUE(fitsInMemory(beyond, 2ull << 30));
    EXPECT_TRUE(fitsInMemory(1 << 20, 0));
}

} // namespace
