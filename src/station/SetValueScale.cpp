#include "station/SetValueScale.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "platform/Conversions.h"

int setValueDivisor(int decimals)
{
    static constexpr int divisors[] = {1, 10, 100, 1000, 10000};
    return divisors[std::clamp(decimals, 0, 4)];
}

QString setValueText(std::int16_t raw, int decimals)
{
    // Divided in 32-bit float, as the value is kept.
    const float value = float(raw) / float(setValueDivisor(decimals));
    return FloatToStrF(value, 5, decimals);
}

std::int16_t rawSetValue(const QString& text, int decimals)
{
    const double scaled = std::trunc(StrToFloat(text) * setValueDivisor(decimals));
    // Beyond 32 bits the low 16 bits would be no truncation of the value at all.
    if (!(scaled >= std::numeric_limits<std::int32_t>::min() && scaled <= std::numeric_limits<std::int32_t>::max()))
        throw NotAFloatError(text);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<std::int32_t>(scaled)));
}
