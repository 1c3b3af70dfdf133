#include "platform/Conversions.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

EConvertError::EConvertError(const QString& message) : std::runtime_error(message.toStdString()) {}

QString EConvertError::message() const { return QString::fromUtf8(what()); }

namespace {

[[noreturn]] void throwNotInteger(const QString& text)
{
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

[[noreturn]] void throwNotFloat(const QString& text)
{
    throw NotAFloatError(text);
}

qsizetype skipBlanks(const QString& s, qsizetype i)
{
    while (i < s.size() && s[i] == u' ')
        ++i;
    return i;
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

constexpr int MaxFloatDigits = 18;
constexpr std::int64_t SaturatedExponent = 1'000'000'000'000;

// A value's significant decimal digits, rounded half away from zero and
// without trailing zeros, and the position of the decimal point relative to
// the first digit (0.d1d2... x 10^pointPos).
struct Decimal {
    char digits[MaxFloatDigits];
    int count = 0;
    int pointPos = 0;
};

void dropTrailingZeros(Decimal& d)
{
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
}

// The digits as an extended-precision conversion finds them: 18 significant
// digits first, those rounded half away from zero to `precision`.
void exactDecimal(double magnitude, int precision, Decimal& d)
{
    // to_chars, unlike printf, never takes a decimal comma from the locale
    // that the application object sets for the C library.
    char buffer[40];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, magnitude, std::chars_format::scientific, 17).ptr = '\0';
    char all[MaxFloatDigits];
    int allCount = 0;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            all[allCount++] = *p;
    d.pointPos = std::atoi(p + 1) + 1;
    d.count = precision;
    std::memcpy(d.digits, all, std::size_t(precision));
    if (precision < allCount && all[precision] >= '5') {
        int i = precision - 1;
        while (i >= 0 && d.digits[i] == '9')
            d.digits[i--] = '0';
        if (i < 0) {
            // 99..9 rounded up: one digit more, which the zero that follows drops.
            d.digits[0] = '1';
            ++d.pointPos;
        } else {
            ++d.digits[i];
        }
    }
    dropTrailingZeros(d);
}

// The scaled value's distance from a half below which the two roundings of
// exactDecimal might differ from one rounding of the scaled double; far
// above the scaling's error and the 18-digit rounding's reach.
constexpr double TieMargin = 1e-6;
constexpr int FastMaxPrecision = 7;
constexpr int FastMaxExponent = 290;
constexpr int PowerOffset = FastMaxExponent + FastMaxPrecision;

const std::array<double, 2 * PowerOffset + 1> PowersOfTen = [] {
    std::array<double, 2 * PowerOffset + 1> powers{};
    for (std::size_t i = 0; i < powers.size(); ++i)
        powers[i] = std::pow(10.0, int(i) - PowerOffset);
    return powers;
}();

double powerOfTen(int exponent)
{
    return PowersOfTen[std::size_t(exponent + PowerOffset)];
}

// A value's digits as a whole number of exactly `precision` digits.
struct ScaledDigits {
    std::uint32_t whole;
    int pointPos;  // as in Decimal
};

// exactDecimal's digits by one scaling to `precision` whole digits, where the
// scaled value is not too close to a half to tell; false where it is, or
// where the value or precision lies outside what the scaling covers.
bool scaleToDigits(double magnitude, int precision, ScaledDigits& s)
{
    if (precision > FastMaxPrecision || !(magnitude >= 1e-280 && magnitude <= 1e280))
        return false;
    const double high = powerOfTen(precision);
    // floor(binary exponent x log10(2)): the decimal exponent or one below it.
    const int binaryExponent = int(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
    int exponent = (binaryExponent * 78913) >> 18;
    double scaled = magnitude * powerOfTen(precision - 1 - exponent);
    if (scaled >= high)
        scaled = magnitude * powerOfTen(precision - 1 - ++exponent);
    auto whole = static_cast<std::uint32_t>(scaled);
    const double fraction = scaled - whole;
    if (std::fabs(fraction - 0.5) < TieMargin)
        return false;
    whole += fraction > 0.5;
    if (whole >= std::uint32_t(high)) {
        whole /= 10;
        ++exponent;
    }
    s = {whole, exponent + 1};
    return true;
}

void toDecimal(ScaledDigits s, int precision, Decimal& d)
{
    for (int i = precision - 1; i >= 0; --i, s.whole /= 10)
        d.digits[i] = char('0' + s.whole % 10);
    d.count = precision;
    d.pointPos = s.pointPos;
    dropTrailingZeros(d);
}

// The fixed notation of digits whose point lies among them, built in one
// machine word without a branch on each digit: the digits two at a time,
// the point put in after pointPos of them, the fraction's trailing zeros and
// a bare point cut off by the length. Writes 8 bytes, whatever that length.
constexpr int PackedMaxPrecision = 6;
static_assert(std::endian::native == std::endian::little);

constexpr char DigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                              "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                              "8081828384858687888990919293949596979899";

int writePackedFixed(char* out, ScaledDigits s, int precision)
{
    std::uint64_t digits = 0;  // the first digit in the lowest byte
    int end = precision;
    for (; end >= 2; end -= 2, s.whole /= 100) {
        std::uint16_t pair;
        std::memcpy(&pair, DigitPairs + 2 * (s.whole % 100), sizeof pair);
        digits |= std::uint64_t(pair) << (8 * (end - 2));
    }
    if (end == 1)
        digits |= '0' + s.whole;
    // The text's last digits are the word's top bytes; a zero digit is a '0' byte.
    const std::uint64_t nonZero = (digits ^ 0x3030303030303030ull) << (64 - 8 * precision);
    const int trailingZeros = std::countl_zero(nonZero) / 8;
    const int point = 8 * s.pointPos;
    const std::uint64_t text = (digits & ((std::uint64_t(1) << point) - 1)) | (std::uint64_t('.') << point)
                             | ((digits >> point) << (point + 8));
    std::memcpy(out, &text, sizeof text);
    const int fraction = precision - s.pointPos - trailingZeros;
    return s.pointPos + (fraction > 0 ? fraction + 1 : 0);
}

char* writeDigits(char* out, const char* digits, int count)
{
    std::memcpy(out, digits, std::size_t(count));
    return out + count;
}

char* writeFixed(char* out, const Decimal& d)
{
    if (d.pointPos <= 0) {
        *out++ = '0';
        *out++ = '.';
        for (int i = d.pointPos; i < 0; ++i)
            *out++ = '0';
        return writeDigits(out, d.digits, d.count);
    }
    const int whole = std::min(d.count, d.pointPos);
    out = writeDigits(out, d.digits, whole);
    for (int i = whole; i < d.pointPos; ++i)
        *out++ = '0';
    if (d.count > d.pointPos) {
        *out++ = '.';
        out = writeDigits(out, d.digits + d.pointPos, d.count - d.pointPos);
    }
    return out;
}

char* writeScientific(char* out, const Decimal& d, int exponentDigits)
{
    *out++ = d.digits[0];
    if (d.count > 1) {
        *out++ = '.';
        out = writeDigits(out, d.digits + 1, d.count - 1);
    }
    *out++ = 'E';
    int exponent = d.pointPos - 1;
    if (exponent < 0) {
        *out++ = '-';
        exponent = -exponent;
    }
    char number[8];
    int length = 0;
    do {
        number[length++] = char('0' + exponent % 10);
        exponent /= 10;
    } while (exponent > 0);
    for (int i = length; i < exponentDigits; ++i)
        *out++ = '0';
    while (length > 0)
        *out++ = number[--length];
    return out;
}

// The general format of a value, given how its digits are found.
template <typename Digits>
int writeGeneral(char* out, double value, int precision, int digits, Digits findDigits)
{
    const auto copy = [out](const char* text) {
        const std::size_t length = std::strlen(text);
        std::memcpy(out, text, length);
        return int(length);
    };
    if (std::isnan(value))
        return copy("NAN");
    if (std::isinf(value))
        return copy(value > 0 ? "INF" : "-INF");
    if (value == 0)
        return copy("0");
    precision = std::clamp(precision, 1, MaxFloatDigits);
    digits = std::clamp(digits, 0, 4);
    char* p = out;
    if (value < 0)
        *p++ = '-';
    Decimal d;
    findDigits(std::fabs(value), precision, d);
    const bool fixed = d.pointPos <= precision && d.pointPos >= -4;
    p = fixed ? writeFixed(p, d) : writeScientific(p, d, digits);
    return int(p - out);
}

} // namespace

int StrToInt(const QString& text)
{
    qsizetype i = skipBlanks(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    int base = 10;
    if (i < text.size() && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size())
        throwNotInteger(text);

    // Decimal must fit a signed 32-bit value; hexadecimal may use all 32 bits.
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0 || digit >= base)
            throwNotInteger(text);
        value = value * std::uint64_t(base) + std::uint64_t(digit);
        if (value > limit)
            throwNotInteger(text);
    }
    const auto bits = static_cast<std::uint32_t>(negative ? 0 - value : value);
    return static_cast<std::int32_t>(bits);
}

int StrToIntDef(const QString& text, int fallback)
{
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

EConvertError NotAFloatError(const QString& text)
{
    return EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

DecimalNumber StrToDecimal(const QString& text)
{
    const qsizetype begin = skipBlanks(text, 0);
    qsizetype end = text.size();
    while (end > begin && text[end - 1] == u' ')
        --end;

    // Only what the class library's StrToFloat accepts.
    DecimalNumber number;
    qsizetype i = begin;
    auto digitsFrom = [&](auto&& take) {
        const qsizetype start = i;
        for (; i < end && text[i].unicode() >= '0' && text[i].unicode() <= '9'; ++i)
            take(char(text[i].unicode()));
        return i - start;
    };
    auto keepDigit = [&](char digit) { number.digits += digit; };
    // Held far beyond any double's range, yet where sums cannot overflow.
    std::int64_t exponent = 0;
    auto addExponentDigit = [&](char digit) {
        exponent = std::min<std::int64_t>(exponent * 10 + (digit - '0'), SaturatedExponent);
    };
    if (i < end && (text[i] == u'+' || text[i] == u'-'))
        number.negative = text[i++] == u'-';
    digitsFrom(keepDigit);
    if (i < end && text[i] == u'.') {
        ++i;
        number.exponent = -digitsFrom(keepDigit);
    }
    if (number.digits.empty())
        throwNotFloat(text);
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        ++i;
        const bool negativeExponent = i < end && text[i] == u'-';
        if (i < end && (text[i] == u'+' || text[i] == u'-'))
            ++i;
        if (digitsFrom(addExponentDigit) == 0)
            throwNotFloat(text);
        number.exponent += negativeExponent ? -exponent : exponent;
    }
    if (i != end)
        throwNotFloat(text);
    return number;
}

double StrToFloat(const QString& text)
{
    const DecimalNumber number = StrToDecimal(text);
    const std::string exact = number.digits + 'e' + std::to_string(number.exponent);
    double value = 0;
    const auto [ptr, error] = std::from_chars(exact.data(), exact.data() + exact.size(), value);
    if (error != std::errc() || ptr != exact.data() + exact.size() || !std::isfinite(value))
        throwNotFloat(text);
    return number.negative ? -value : value;
}

QString FloatToStrF(double value, int precision, int digits)
{
    char text[FloatToStrFMaxLength];
    const int length = writeGeneral(text, value, precision, digits, exactDecimal);
    return QString::fromLatin1(text, length);
}

int writeFloatToStrF(char* out, double value, int precision, int digits)
{
    ScaledDigits s;
    const bool scaled =
        precision >= 1 && std::isfinite(value) && value != 0 && scaleToDigits(std::fabs(value), precision, s);
    if (scaled && precision <= PackedMaxPrecision && s.pointPos >= 1 && s.pointPos <= precision) {
        *out = '-';
        const int sign = value < 0;
        return sign + writePackedFixed(out + sign, s, precision);
    }
    return writeGeneral(out, value, precision, digits, [&](double magnitude, int p, Decimal& d) {
        if (scaled)
            toDecimal(s, p, d);
        else
            exactDecimal(magnitude, p, d);
    });
}
