#pragma once
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

#include "platform/DateTime.h"

// The chart numbers a series' points with an int: no load holds more.
constexpr std::int64_t MaxLoadRecords = std::numeric_limits<int>::max();

// The points of one load, as compact as the file holds them: per channel a
// column of float32 values, one per record, and the running time given to
// each record. The X of a point is its index.
class LoadColumns {
public:
    // Room for capacity records without moving; throws std::bad_alloc, also
    // for more than MaxLoadRecords.
    LoadColumns(int channels, std::int64_t capacity);

    // What holding that many records takes.
    static std::uint64_t bytesFor(int channels, std::uint64_t records);

    int channels() const { return channels_; }
    int count() const { return count_; }
    std::uint64_t bytesHeld() const { return bytesFor(channels_, std::uint64_t(capacity_)); }
    // Channel j's values, count() of them.
    const float* column(int channel) const { return values_.get() + std::int64_t(channel) * capacity_; }
    TDateTime time(int index) const { return times_[std::size_t(index)]; }

    // One record's values, a value per channel, and its time; throws
    // std::bad_alloc past MaxLoadRecords.
    void append(const float* values, TDateTime time);

private:
    void grow();

    int channels_;
    std::int64_t capacity_;
    int count_ = 0;
    std::unique_ptr<float[]> values_;  // channel after channel, capacity_ each
    std::vector<TDateTime> times_;
};
