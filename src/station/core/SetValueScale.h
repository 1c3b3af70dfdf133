#pragma once
#include <QString>
#include <cstdint>

// A set value is shown and typed in engineering units: the raw register
// value over 10 to the power of the decimal places of the device's first
// channel.

// 1, 10, 100, 1000 or 10000 for 0..4 decimal places.
int setValueDivisor(int decimals);

// The raw value read, as the screen shows it.
QString setValueText(std::int16_t raw, int decimals);

// The raw value to write for a typed value: value times the divisor,
// truncated toward zero, of which the register takes the low 16 bits. The
// product is exact, of the decimal as typed. Throws the conversion error of
// a text that is no number also when the product lies outside 32 bits.
std::int16_t rawSetValue(const QString& text, int decimals);
