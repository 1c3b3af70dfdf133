#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

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

// Puts the file with its whole header, written in one write, under path in
// place of any file of that name, in a folder made when missing (see
// createWithHead). True when the header is on the file.
bool writeHistoryHeader(const std::string& path, const HistoryFileHeader& header);

// Writes records of count float32 values each, in order, one write per
// record, right after the last whole record of the file, so that a record
// cut short by a full disk is written over instead of shifting every later
// one. Returns how many reached the file; a file without its header takes none.
std::size_t appendHistoryRecords(const std::string& path, const float* values, int count, std::size_t records);

// The history file of one recording period and when its next record is due.
// A record's place in the file is its time, so records the file cannot take
// (a full disk) wait in memory, in order, and go to the file as soon as it
// takes writes again; no record is ever written in another's place.
class HistoryRecorder {
public:
    HistoryRecorder() = default;
    // A last try for what the period's file still lacks, as the station ends.
    ~HistoryRecorder() { writeLastWaiting(); }
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // Begins a period with its file at path, in a month folder of baseDir,
    // after a last try to write what the last period's file still lacks.
    // The header is written at once or, failing that, at a later tick.
    void start(const std::string& baseDir, const std::string& path, std::unique_ptr<HistoryFileHeader> header);

    // The tick's history step: when a record fell due before now, the row is
    // taken as that record (at most one per tick); then whatever waits, the
    // header included, is written. Should the waiting records outgrow
    // MaxWaitingBytes, they are given up with the period's file, and a new
    // file (named after the tick that begins it, which is its StartTime)
    // begins once it can be made.
    void recordIfDue(TDateTime now, const float* row, int count);

    // Everything due is on the file.
    bool upToDate() const { return headerWritten_ && waiting_.empty() && !fileGivenUp_; }

    std::string PeriodHistoryPath;
    std::int32_t HistoryInterval = 0;  // 0 or negative: no records
    TDateTime NextHistoryTime = 0;
    std::size_t MaxWaitingBytes = std::size_t(256) << 20;

private:
    void keep(const float* row, int count);
    void writeWaiting();
    void writeLastWaiting();
    bool beginNewFile(TDateTime now);

    std::string baseDir_;
    std::unique_ptr<HistoryFileHeader> header_;
    bool headerWritten_ = false;
    std::vector<float> waiting_;  // whole records, oldest first
    int valuesPerRecord_ = 0;
    bool fileGivenUp_ = false;
};
