#include "station/core/ChannelLimit.h"

#include <cmath>
#include <limits>

#include "platform/Conversions.h"

float toChannelLimit(const QString& text)
{
    const double value = StrToFloat(text);
    // A plain cast of a double beyond the float range is undefined.
    if (std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}
