#include "platform/Conversions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
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

// The value's decimal digits rounded half away from zero to `precision`
// digits, trailing zeros dropped, and the position of the decimal point
// relative to the first digit (0.d1d2... x 10^pointPos).
struct Decimal {
    std::string digits;
    int pointPos = 0;
};

Decimal roundedDecimal(double magnitude, int precision)
{
    // 18 significant digits first, as the class library's FloatToStrF does
    // with its extended-precision arithmetic.
    // to_chars, unlike printf, never takes a decimal comma from the locale
    // that the application object sets for the C library.
    char buffer[40];
    *std::to_chars(buffer, buffer + sizeof buffer - 1, magnitude, std::chars_format::scientific, 17).ptr = '\0';
    std::string all;
    const char* p = buffer;
    for (; *p != 'e'; ++p)
        if (*p != '.')
            all += *p;
    int pointPos = std::atoi(p + 1) + 1;

    std::string digits = all.substr(0, std::size_t(precision));
    if (std::size_t(precision) < all.size() && all[std::size_t(precision)] >= '5') {
        int i = precision - 1;
        while (i >= 0 && digits[std::size_t(i)] == '9')
            digits[std::size_t(i--)] = '0';
        if (i < 0) {
            digits.insert(digits.begin(), '1');
            digits.pop_back();
            ++pointPos;
        } else {
            ++digits[std::size_t(i)];
        }
    }
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    return {digits, pointPos};
}

std::string fixedText(const Decimal& d)
{
    if (d.pointPos <= 0) {
        std::string text = "0.";
        text.append(std::size_t(-d.pointPos), '0');
        return text + d.digits;
    }
    std::string whole = d.digits.substr(0, std::min(d.digits.size(), std::size_t(d.pointPos)));
    whole.append(std::size_t(d.pointPos) - whole.size(), '0');
    if (d.digits.size() > std::size_t(d.pointPos))
        whole.append(1, '.').append(d.digits, std::size_t(d.pointPos));
    return whole;
}

std::string scientificText(const Decimal& d, int exponentDigits)
{
    std::string text = d.digits.substr(0, 1);
    if (d.digits.size() > 1)
        text.append(1, '.').append(d.digits, 1);
    const int exponent = d.pointPos - 1;
    const std::string number = std::to_string(std::abs(exponent));
    text.append(1, 'E');
    if (exponent < 0)
        text.append(1, '-');
    if (int(number.size()) < exponentDigits)
        text.append(std::size_t(exponentDigits) - number.size(), '0');
    return text.append(number);
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

double StrToFloat(const QString& text)
{
    const qsizetype begin = skipBlanks(text, 0);
    qsizetype end = text.size();
    while (end > begin && text[end - 1] == u' ')
        --end;

    // Checked here, so that from_chars sees only what the class library's
    // StrToFloat accepts.
    const QString number = text.mid(begin, end - begin);
    qsizetype i = 0;
    auto digitsFrom = [&](qsizetype& at) {
        const qsizetype start = at;
        while (at < number.size() && number[at].unicode() >= '0' && number[at].unicode() <= '9')
            ++at;
        return at - start;
    };
    if (i < number.size() && (number[i] == u'+' || number[i] == u'-'))
        ++i;
    qsizetype mantissaDigits = digitsFrom(i);
    if (i < number.size() && number[i] == u'.') {
        ++i;
        mantissaDigits += digitsFrom(i);
    }
    if (mantissaDigits == 0)
        throwNotFloat(text);
    if (i < number.size() && (number[i] == u'e' || number[i] == u'E')) {
        ++i;
        if (i < number.size() && (number[i] == u'+' || number[i] == u'-'))
            ++i;
        if (digitsFrom(i) == 0)
            throwNotFloat(text);
    }
    if (i != number.size())
        throwNotFloat(text);

    std::string ascii = number.toStdString();
    const char* first = ascii.c_str();
    if (*first == '+')
        ++first;
    double value = 0;
    const auto [ptr, error] = std::from_chars(first, ascii.c_str() + ascii.size(), value);
    if (error != std::errc() || ptr != ascii.c_str() + ascii.size() || !std::isfinite(value))
        throwNotFloat(text);
    return value;
}

QString FloatToStrF(double value, int precision, int digits)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");

    precision = std::clamp(precision, 1, 18);
    digits = std::clamp(digits, 0, 4);
    const Decimal d = roundedDecimal(std::fabs(value), precision);
    const bool fixed = d.pointPos <= precision && d.pointPos >= -4;
    const std::string text = fixed ? fixedText(d) : scientificText(d, digits);
    return (value < 0 ? QStringLiteral("-") : QString()) + QString::fromStdString(text);
}
