#pragma once
#include <QString>

#include <stdexcept>

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
// The error StrToFloat throws for text, for a number refused after it.
EConvertError NotAFloatError(const QString& text);

// General format: rounded to `precision` significant digits without trailing
// zeros, in fixed notation while the value has at most `precision` digits
// before the point and a magnitude of at least 0.00001, else in scientific
// notation with an exponent of at least `digits` digits ("1.2346E005").
QString FloatToStrF(double value, int precision, int digits);

// Room for every text FloatToStrF writes.
constexpr int FloatToStrFMaxLength = 32;
// FloatToStrF's text written into out as ASCII bytes, fast enough for
// millions of values; returns its length. The same text for every value.
// out must have room for FloatToStrFMaxLength bytes, which it may use
// beyond the text.
int writeFloatToStrF(char* out, double value, int precision, int digits);
