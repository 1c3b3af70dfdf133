#include "station/core/SetValueScale.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>

#include "platform/Conversions.h"

namespace {

constexpr int MaxDecimals = 4;

int clampedDecimals(int decimals)
{
    return std::clamp(decimals, 0, MaxDecimals);
}

// number x 10^decimals truncated toward zero, worked out on the digits as
// typed: their binary approximation lies just below many a decimal (1.13
// would give 112.99... at 2 decimals). Nothing when outside 32 bits.
std::optional<std::int32_t> scaledTruncated(const DecimalNumber& number, int decimals)
{
    constexpr std::int64_t MaxMagnitude = -std::int64_t(std::numeric_limits<std::int32_t>::min());
    const std::int64_t shift = number.exponent + decimals;
    std::string_view digits = number.digits;
    if (shift < 0)
        digits.remove_suffix(std::size_t(std::min<std::int64_t>(-shift, std::int64_t(digits.size()))));
    std::int64_t magnitude = 0;
    for (const char digit : digits)
        if ((magnitude = magnitude * 10 + (digit - '0')) > MaxMagnitude)
            return std::nullopt;
    for (std::int64_t i = 0; i < shift && magnitude != 0; ++i)
        if ((magnitude *= 10) > MaxMagnitude)
            return std::nullopt;
    const std::int64_t value = number.negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(value);
}

}  // namespace

int setValueDivisor(int decimals)
{
    static constexpr int divisors[] = {1, 10, 100, 1000, 10000};
    return divisors[clampedDecimals(decimals)];
}

QString setValueText(std::int16_t raw, int decimals)
{
    // Divided in 32-bit float, as the value is kept.
    const float value = float(raw) / float(setValueDivisor(decimals));
    return FloatToStrF(value, 5, decimals);
}

std::int16_t rawSetValue(const QString& text, int decimals)
{
    const std::optional<std::int32_t> scaled = scaledTruncated(StrToDecimal(text), clampedDecimals(decimals));
    // Beyond 32 bits the low 16 bits would be no truncation of the value at all.
    if (!scaled)
        throw NotAFloatError(text);
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(*scaled));
}
