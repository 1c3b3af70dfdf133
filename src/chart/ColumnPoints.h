#pragma once
#include <QString>
#include <functional>
#include <memory>

// Points whose Y values live outside the chart, float32 side by side in one
// column, at X 0, 1, 2 ... The column is shared with its owner, so it stays as
// long as a series shows it, and nothing is copied per point. Labels are
// written by a function only for the points that are asked for.
class ColumnPoints {
public:
    using Labels = std::function<QString(int index)>;

    ColumnPoints() = default;
    ColumnPoints(std::shared_ptr<const float> values, int count, Labels labels = {})
        : values_(std::move(values)), count_(count), labels_(std::move(labels))
    {
    }

    int count() const { return count_; }
    double x(int i) const { return i; }
    double y(int i) const { return values_.get()[i]; }
    const float* values() const { return values_.get(); }
    QString label(int i) const { return labels_ ? labels_(i) : QString(); }

    // First index whose X is at least (lowerBound) or above (upperBound) x.
    int lowerBound(double x) const;
    int upperBound(double x) const;

private:
    std::shared_ptr<const float> values_;
    int count_ = 0;
    Labels labels_;
};
