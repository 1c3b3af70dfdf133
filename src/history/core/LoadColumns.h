#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "platform/DateTime.h"

// The chart numbers a series' points with an int: no load holds more.
constexpr std::int64_t MaxLoadRecords = std::numeric_limits<int>::max();

// The memory of a load's columns, which the next load may take again: the
// 512 MB of a million records of 128 channels, freshly allocated, cost a
// page fault per 4 KB page on first touch.
class ColumnBlock {
public:
    // Throws std::bad_alloc.
    explicit ColumnBlock(std::size_t floats) : floats_(std::make_unique_for_overwrite<float[]>(floats)), size_(floats)
    {
    }

    float* floats() const { return floats_.get(); }
    std::size_t size() const { return size_; }
    // Whether a load of that many floats may take this block again: they fit,
    // and fill at least half, so that a small load never keeps a large block.
    bool suits(std::size_t floats) const { return floats <= size_ && size_ / 2 <= floats; }

private:
    std::unique_ptr<float[]> floats_;
    std::size_t size_;
};

// The points of one load, as compact as the file holds them: per channel a
// column of float32 values, one per record, and the running time given to
// each record. The X of a point is its index.
class LoadColumns {
public:
    // Room for capacity records without moving, in the spare block of an
    // earlier load when it suits them, else in a new one taken after the
    // spare is given back. Throws std::bad_alloc, also for more than
    // MaxLoadRecords.
    LoadColumns(int channels, std::int64_t capacity, std::unique_ptr<ColumnBlock> spare = nullptr);

    // The block of columns that nothing else holds any more, for the next
    // load to take; none while they are still shared.
    static std::unique_ptr<ColumnBlock> reclaim(std::shared_ptr<LoadColumns> columns);

    // What holding that many records takes.
    static std::uint64_t bytesFor(int channels, std::uint64_t records);

    int channels() const { return channels_; }
    int count() const { return count_; }
    std::uint64_t bytesHeld() const { return values_->size() * sizeof(float) + times_.capacity() * sizeof(TDateTime); }
    // Channel j's values, count() of them.
    const float* column(int channel) const { return values_->floats() + std::int64_t(channel) * capacity_; }
    TDateTime time(int index) const { return times_[std::size_t(index)]; }

    // count records, one after another of recordChannels values each, of
    // which the first channels() are taken, and their times; throws
    // std::bad_alloc past MaxLoadRecords.
    void append(const float* records, int count, int recordChannels, const TDateTime* times);

private:
    void grow();

    int channels_;
    std::int64_t capacity_;
    int count_ = 0;
    std::unique_ptr<ColumnBlock> values_;  // channel after channel, capacity_ each
    std::vector<TDateTime> times_;
};
