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

std::size_t columnFloats(int channels, std::int64_t capacity)
{
    return std::size_t(channels) * std::size_t(capacity);
}

std::unique_ptr<ColumnBlock> blockFor(std::size_t floats, std::unique_ptr<ColumnBlock> spare)
{
    if (spare && spare->suits(floats))
        return spare;
    spare.reset();
    return std::make_unique<ColumnBlock>(floats);
}

} // namespace

LoadColumns::LoadColumns(int channels, std::int64_t capacity, std::unique_ptr<ColumnBlock> spare)
    : channels_(channels),
      capacity_(heldCapacity(capacity)),
      values_(blockFor(columnFloats(channels_, capacity_), std::move(spare)))
{
    times_.reserve(std::size_t(capacity_));
}

std::unique_ptr<ColumnBlock> LoadColumns::reclaim(std::shared_ptr<LoadColumns> columns)
{
    if (!columns || columns.use_count() != 1)
        return nullptr;
    return std::move(columns->values_);
}

std::uint64_t LoadColumns::bytesFor(int channels, std::uint64_t records)
{
    return records * (std::uint64_t(channels) * sizeof(float) + sizeof(TDateTime));
}

void LoadColumns::append(const float* records, int count, int recordChannels, const TDateTime* times)
{
    while (capacity_ - count_ < count)
        grow();
    // A few records at a time across every channel: the records' cache
    // lines are read once, and each column's line is written whole.
    constexpr int Tile = 8;
    float* first = values_->floats() + count_;
    for (int k0 = 0; k0 < count; k0 += Tile) {
        const int k1 = std::min(k0 + Tile, count);
        for (int j = 0; j < channels_; ++j) {
            float* column = first + std::int64_t(j) * capacity_;
            for (int k = k0; k < k1; ++k)
                column[k] = records[std::int64_t(k) * recordChannels + j];
        }
    }
    times_.insert(times_.end(), times, times + count);
    count_ += count;
}

void LoadColumns::grow()
{
    if (capacity_ == MaxLoadRecords)
        throw std::bad_alloc();
    const std::int64_t capacity = std::min(capacity_ * 2, MaxLoadRecords);
    auto values = std::make_unique<ColumnBlock>(columnFloats(channels_, capacity));
    for (int j = 0; j < channels_; ++j)
        std::memcpy(values->floats() + j * capacity, column(j), sizeof(float) * std::size_t(count_));
    values_ = std::move(values);
    capacity_ = capacity;
}
