#include "history/core/ReadOutIndex.h"

#include <algorithm>
#include <cmath>

int readOutIndex(double x, double minX, double maxX, int points)
{
    const double span = maxX - minX;
    if (!(span > 0 && minX <= x && x <= maxX) || points <= 0)
        return -1;
    return std::min(int(std::floor((x - minX) * points / span)), points - 1);
}
