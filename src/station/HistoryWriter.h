#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/DateTime.h"
#include "shared/HistoryFile.h"
#include "shared/MeterRecord.h"

// A recording period's two files, named after one clock reading, in the
// month folder of that reading.
struct RecordPeriodPaths {
    std::string monthFolder;
    std::string historyPath;  // ".nx"
    std::string alarmPath;    // ".xls", see AlarmRecordFile
};
RecordPeriodPaths recordPeriodPaths(const std::string& baseDir, TDateTime t);

// The header of a new period: start time, interval, and the name of every
// configured channel in global channel order; entries after N stay zero.
std::unique_ptr<HistoryFileHeader> makeHistoryHeader(TDateTime startTime, std::int32_t interval,
                                                     const MeterRecord* meters, int meterCount);

// Creates or empties the file and writes the whole header in one write.
bool writeHistoryHeader(const std::string& path, const HistoryFileHeader& header);

// Writes one record of count float32 values in one write, right after the
// last whole record, so a record cut short by a full disk is written over
// instead of shifting every later one. A file without its header is left alone.
bool appendHistoryRecord(const std::string& path, const float* values, int count);

// The history file of one recording period and when its next record is due.
class HistoryRecorder {
public:
    // Begins a period: the header is written at once and, if that fails,
    // again before the first record.
    void start(const std::string& path, std::unique_ptr<HistoryFileHeader> header);

    // The tick's history step: at most one record per tick, when one fell due
    // before now. A record that could not be written stays due, so a later
    // tick writes it and no record after it is shifted in time.
    // Returns whether a record was written.
    bool recordIfDue(TDateTime now, const float* row, int count);

    std::string PeriodHistoryPath;
    std::int32_t HistoryInterval = 0;  // 0 or negative: no records
    TDateTime NextHistoryTime = 0;

private:
    std::unique_ptr<HistoryFileHeader> unwrittenHeader_;
};
