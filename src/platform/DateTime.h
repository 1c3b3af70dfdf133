#pragma once
#include <QString>

#include <functional>

// A local date and time as days since 1899-12-30 00:00; the fraction is the
// time of day.
using TDateTime = double;

constexpr double SecondsPerDay = 86400.0;

struct DateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The current local date-time, from the clock set by SetClock or, when none
// is set, from the system clock.
TDateTime Now();
// Replaces the clock that Now reads; an empty function restores the system clock.
void SetClock(std::function<TDateTime()> clock);

TDateTime EncodeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                         int millisecond = 0);
// Rounded to the millisecond, as the date-time formats show it. A value
// outside the years 1..9999, or not a number, decodes as 1899-12-30 00:00.
DateTimeParts DecodeDateTime(TDateTime value);

// Formats a date-time with the specifiers y, yy, yyyy, m, mm, d, dd, h, hh,
// n, nn, s, ss, z, zzz and AM/PM (case-insensitive; an m right after an h is
// minutes; AM/PM makes h a 12-hour clock). Text in single or double quotes is
// copied as it is, like every other character.
QString FormatDateTime(const QString& format, TDateTime value);
