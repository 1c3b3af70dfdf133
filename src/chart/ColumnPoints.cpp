#include "chart/ColumnPoints.h"

#include <cmath>

// A NaN bound answers as a search through the points would: no X is below
// it, and none above it.
int ColumnPoints::lowerBound(double x) const
{
    if (!(x > 0))
        return 0;
    return x >= count_ ? count_ : int(std::ceil(x));
}

int ColumnPoints::upperBound(double x) const
{
    if (std::isnan(x) || x >= count_)
        return count_;
    return x < 0 ? 0 : int(std::floor(x)) + 1;
}
