#pragma once
#include <QString>

#include <cstdint>
#include <stdexcept>
#include <string>

// A text that does not convert to a number. what() is the message in UTF-8.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString& message);
    QString message() const;
};

// Decimal, or hexadecimal after "$" or "0x"; blanks before the number and a
// sign are allowed. Throws EConvertError for any other text or a value
// outside 32 bits ("$FFFFFFFF" is -1).
int StrToInt(const QString& text);
// StrToInt, or fallback where that would throw.
int StrToIntDef(const QString& text, int fallback);

// A decimal number with "." as separator and an optional exponent, blanks
// around it allowed. Throws EConvertError for any other text.
double StrToFloat(const QString& text);
// The number StrToFloat reads, kept exactly as typed: its value is
// digits x 10^exponent, negated when negative. Throws as StrToFloat does for
// a text of any other form; its size is not checked.
struct DecimalNumber {
    bool negative = false;
    std::string digits;  // those of the mantissa, without the point
    std::int64_t exponent = 0;
};
DecimalNumber StrToDecimal(const QString& text);
// The error StrToFloat throws for text, for a number refused after it.
EConvertError NotAFloatError(const QString& text);

// The class library's general number format, as the station's panels, logs
// and exports show values: 12.5, 1234.6, 0.00001, but 1.2346E005 and 1E-006
// once fixed notation would need more than `precision` digits or the value
// drops below 1e-5. `digits` pads the exponent; trailing zeros never show.
QString FloatToStrF(double value, int precision, int digits);

// Room for every text FloatToStrF writes.
constexpr int FloatToStrFMaxLength = 32;
// FloatToStrF's text written into out as ASCII bytes, fast enough for
// millions of values; returns its length. The same text for every value.
// out must have room for FloatToStrFMaxLength bytes, which it may use
// beyond the text.
int writeFloatToStrF(char* out, double value, int precision, int digits);
