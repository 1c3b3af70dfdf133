#pragma once
#include <QString>
#include <vector>

#include "chart/LabelStore.h"

// The points of one series, oldest first, in a ring: dropping the first
// point and adding a last one cost the same whatever the count. X values
// that run one apart (every series of both programs) are not stored but
// counted from the first; any other X makes the buffer store them all.
class PointBuffer {
public:
    explicit PointBuffer(LabelStore& labels) : labels_(labels) {}
    ~PointBuffer();
    PointBuffer(const PointBuffer&) = delete;
    PointBuffer& operator=(const PointBuffer&) = delete;

    int count() const { return size_; }
    double x(int i) const { return xs_.empty() ? firstX_ + i : xs_[slot(i)]; }
    double y(int i) const { return ys_[slot(i)]; }
    const QString& label(int i) const { return labels_.text(labelIds_[slot(i)]); }

    void append(double x, double y, const QString& label);
    void remove(int index);
    void clear();

    // First index whose X is at least (lowerBound) or above (upperBound) x,
    // for X values in ascending order.
    int lowerBound(double x) const;
    int upperBound(double x) const;

private:
    int slot(int i) const { return (head_ + i) & mask_; }
    int capacity() const { return mask_ + 1; }
    void grow();
    void storeXValues();

    LabelStore& labels_;
    std::vector<double> ys_;
    std::vector<double> xs_;  // empty while X values run one apart
    std::vector<LabelStore::Id> labelIds_;
    int head_ = 0;
    int size_ = 0;
    int mask_ = -1;  // capacity - 1, a power of two less one
    double firstX_ = 0;
};
