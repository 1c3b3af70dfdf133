#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "platform/DateTime.h"
#include "shared/HistoryFile.h"

// The history program shows at most this many channels of a file: the first
// ones, in the file's order.
constexpr int MaxShownChannels = 128;

// A history file opened read-only for one load: its header, read whole in one
// read and checked, then its records one at a time. Closed with the object.
class HistoryFileReader {
public:
    enum class Opened {
        Yes,
        CannotOpen,
        // Not a regular file, shorter than its header, no channel or more
        // than a header can name, an interval of 0 or below, or a start time
        // that is not a number.
        NotHistoryFile,
    };

    HistoryFileReader();
    ~HistoryFileReader();
    HistoryFileReader(const HistoryFileReader&) = delete;
    HistoryFileReader& operator=(const HistoryFileReader&) = delete;

    Opened open(const std::string& path);

    const HistoryFileHeader& header() const { return *header_; }
    // N, the values in each record of the file.
    int channelCount() const { return header_->ChannelCount; }
    // The channels the program shows: the first N, at most MaxShownChannels.
    int shownChannelCount() const;
    // Seconds between records as a step of days.
    double step() const { return header_->RecordInterval / SecondsPerDay; }

    // Whole records from the file offset to the end of the file, its size
    // taken at open; none from beyond the end.
    std::uint64_t recordsFrom(std::int64_t offset) const;
    // Whole records after the header.
    std::uint64_t recordCount() const { return recordsFrom(std::int64_t(HistoryHeaderSize)); }

    // Whether an open descriptor is the file being read, opened under this
    // or any other name.
    bool isFile(int descriptor) const;

    bool seek(std::int64_t offset);
    // Places the file at record k, counted from 0 after the header.
    bool seekRecord(std::int64_t k);
    // The offset after the last whole record read, or where seek put it.
    std::int64_t position() const { return position_; }
    // Reads the next record whole; its first shownChannelCount() values go to
    // values. False, and nothing read, when no whole record is left.
    bool readRecord(float* values);
    // Reads up to count whole records at once, no more than fill about a
    // megabyte; records() then holds them one after another, channelCount()
    // values each. Returns how many; a partial record is left where it lies.
    int readRecords(int count);
    const float* records() const { return records_.get(); }

private:
    std::FILE* file_ = nullptr;
    std::unique_ptr<HistoryFileHeader> header_;
    std::unique_ptr<HistoryRecord> record_;
    std::unique_ptr<float[]> records_;
    std::size_t recordsRoom_ = 0;
    std::uint64_t size_ = 0;
    std::int64_t position_ = 0;
};
