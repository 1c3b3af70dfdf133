#include "history/core/LoadColumns.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

std::int64_t heldCapacity(std::int64_t capacity)
{
    if (capacity > MaxLoadRecords)
        throw std::bad_alloc();
    return std::max<std::int64_t>(capacity, 1);
}

} // namespace

LoadColumns::LoadColumns(int channels, std::int64_t capacity)
    : channels_(channels),
      capacity_(heldCapacity(capacity)),
      values_(std::make_unique_for_overwrite<float[]>(std::size_t(channels_ * capacity_)))
{
    times_.reserve(std::size_t(capacity_));
}

std::uint64_t LoadColumns::bytesFor(int channels, std::uint64_t records)
{
    return records * (std::uint64_t(channels) * sizeof(float) + sizeof(TDateTime));
}

void LoadColumns::append(const float* values, TDateTime time)
{
    if (count_ == capacity_)
        grow();
    float* slot = values_.get() + count_;
    for (int j = 0; j < channels_; ++j)
        slot[std::int64_t(j) * capacity_] = values[j];
    times_.push_back(time);
    ++count_;
}

void LoadColumns::grow()
{
    if (capacity_ == MaxLoadRecords)
        throw std::bad_alloc();
    const std::int64_t capacity = std::min(capacity_ * 2, MaxLoadRecords);
    auto values = std::make_unique_for_overwrite<float[]>(std::size_t(channels_ * capacity));
    for (int j = 0; j < channels_; ++j)
        std::memcpy(values.get() + j * capacity, column(j), sizeof(float) * std::size_t(count_));
    values_ = std::move(values);
    capacity_ = capacity;
}
