#include "chart/PointBuffer.h"

#include <algorithm>

namespace {
constexpr int InitialCapacity = 1024;

template <typename T>
std::vector<T> unrolled(const std::vector<T>& ring, int head, int size, int capacity)
{
    std::vector<T> out(std::size_t(capacity), T{});
    for (int i = 0; i < size; ++i)
        out[std::size_t(i)] = ring[std::size_t((head + i) & (int(ring.size()) - 1))];
    return out;
}
} // namespace

PointBuffer::~PointBuffer()
{
    clear();
}

void PointBuffer::append(double x, double y, const QString& label)
{
    if (size_ == capacity())
        grow();
    if (xs_.empty()) {
        if (size_ == 0)
            firstX_ = x;
        else if (x != firstX_ + size_)
            storeXValues();
    }
    const int s = slot(size_);
    if (!xs_.empty())
        xs_[std::size_t(s)] = x;
    ys_[std::size_t(s)] = y;
    labelIds_[std::size_t(s)] = labels_.acquire(label);
    ++size_;
}

void PointBuffer::remove(int index)
{
    if (index < 0 || index >= size_)
        return;
    labels_.release(labelIds_[std::size_t(slot(index))]);
    if (index == 0) {
        head_ = slot(1);
        firstX_ += 1;
        --size_;
        return;
    }
    if (index != size_ - 1 && xs_.empty())
        storeXValues();
    for (int i = index; i < size_ - 1; ++i) {
        const auto to = std::size_t(slot(i)), from = std::size_t(slot(i + 1));
        ys_[to] = ys_[from];
        labelIds_[to] = labelIds_[from];
        if (!xs_.empty())
            xs_[to] = xs_[from];
    }
    --size_;
}

void PointBuffer::clear()
{
    for (int i = 0; i < size_; ++i)
        labels_.release(labelIds_[std::size_t(slot(i))]);
    ys_ = {};
    xs_ = {};
    labelIds_ = {};
    head_ = 0;
    size_ = 0;
    mask_ = -1;
    firstX_ = 0;
}

void PointBuffer::grow()
{
    const int newCapacity = size_ == 0 ? InitialCapacity : capacity() * 2;
    ys_ = unrolled(ys_, head_, size_, newCapacity);
    labelIds_ = unrolled(labelIds_, head_, size_, newCapacity);
    if (!xs_.empty())
        xs_ = unrolled(xs_, head_, size_, newCapacity);
    head_ = 0;
    mask_ = newCapacity - 1;
}

void PointBuffer::storeXValues()
{
    std::vector<double> xs(static_cast<std::size_t>(capacity()));
    for (int i = 0; i < size_; ++i)
        xs[std::size_t(slot(i))] = firstX_ + i;
    xs_ = std::move(xs);
}

int PointBuffer::lowerBound(double value) const
{
    int low = 0, high = size_;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (x(mid) < value)
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

int PointBuffer::upperBound(double value) const
{
    int low = 0, high = size_;
    while (low < high) {
        const int mid = low + (high - low) / 2;
        if (!(value < x(mid)))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}
