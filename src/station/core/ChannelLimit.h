#pragma once
#include <QString>

// A typed alarm limit as a channel record holds it: the nearest 32-bit
// float, beyond the float range an infinity of the same sign. Throws
// EConvertError for a text that is not a number.
float toChannelLimit(const QString& text);
