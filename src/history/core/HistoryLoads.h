#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "history/core/HistoryFileReader.h"
#include "history/core/LoadColumns.h"
#include "platform/DateTime.h"

// Records that open and the page loads take at most.
constexpr int PageRecords = 20000;

// start + count intervals of the given seconds: the product formed in
// extended precision and taken as a double, then added.
TDateTime timeAfterIntervals(TDateTime start, std::int64_t count, std::int32_t intervalSeconds);

// Whole intervals from one time to another, truncated toward zero: a record
// index, 64 bits like the file offsets. The seconds between the two are taken
// to the millisecond first, so that the rounding of the date-time doubles
// never costs a whole interval.
std::int64_t wholeIntervals(TDateTime from, TDateTime to, std::int32_t intervalSeconds);
// The same taken upward: the intervals to the first record at or after `to`.
std::int64_t intervalsUpward(TDateTime from, TDateTime to, std::int32_t intervalSeconds);

// A count of records as a progress bar holds it: at most its int range.
int gaugeCount(std::int64_t records);

// Whether one time is later than another to the millisecond, the finest that
// the pickers and labels show: the rounding of the date-time doubles must not
// decide whether a record at the end of a range is taken.
bool laterByAMillisecond(TDateTime a, TDateTime b);

// When a load stops besides the end of the file; both are asked after each
// record but the first, the time first.
struct LoadStop {
    std::optional<TDateTime> after = std::nullopt;  // the running time, after its step, later than this
    int maxRecords = 0;              // that many taken; 0 = no limit
};

struct LoadOutcome {
    TDateTime nextTime;  // the running time after the last record taken
    bool metEnd;         // a read found no whole record
};

// Reads records from the file's position into columns. The first is given
// the time start, and each further one a step more: the step is added to a
// running time, never multiplied.
LoadOutcome loadRecords(HistoryFileReader& file, LoadColumns& columns, TDateTime start, const LoadStop& stop,
                        const std::function<void()>& onRecord);

// The state the loads keep between them: the file opened last, its time range,
// and the page shown. Zero before the first open; find changes none of it.
class HistoryLoads {
public:
    std::string HistFilePath;
    TDateTime HistStartTime = 0;
    TDateTime HistEndTime = 0;  // the time that follows the last whole record
    std::int32_t LoadedPoints = 0;
    std::int64_t PageStartPos = 0;  // file offset of the page's first record
    std::int64_t PageEndPos = 0;    // file offset after the page's last record
    TDateTime PageStartTime = 0;
    TDateTime PageNextTime = 0;  // time of the record after the page
    std::int32_t PageTotal = 0;
    std::int32_t PageCurrent = 0;

    // The file's time range after a caption: its start " 至 " the time after
    // its last record, then nine blanks.
    QString rangeText(const QString& caption) const;

    // Takes the opened file's path, time range and page count, with page 1
    // about to start at record 0. Returns page 1's length.
    int beginOpen(const std::string& path, const HistoryFileReader& file);
    // Places the file at the page after the one shown and counts it; false
    // when the file cannot be placed there.
    bool beginNextPage(HistoryFileReader& file);
    // Likewise for the page of PageRecords records before the one shown.
    bool beginPreviousPage(HistoryFileReader& file);
    // After open or a page load: the page spans what the load read.
    void endPage(const HistoryFileReader& file, const LoadOutcome& outcome);

    enum class FindRange { Inside, AboveEnd, BelowStart, StartAfterEnd };
    // The three checks of a find, in their order, to the millisecond: a time
    // typed as the window shows it is inside, whatever bit the date-time
    // doubles end on. An export takes the ranges a find takes.
    FindRange checkFindRange(TDateTime start, TDateTime end) const;
    // Places the file at the record at or before start.
    bool beginFind(HistoryFileReader& file, TDateTime start) const;
};

// Records the next page load may take from the file's position.
int pageLength(const HistoryFileReader& file);
