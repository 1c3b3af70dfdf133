#include "platform/DateTime.h"

#include <QDateTime>

#include <chrono>
#include <cmath>

namespace {

using namespace std::chrono;

constexpr sys_days Epoch = sys_days{year{1899} / December / 30};
constexpr long long MsPerDay = 86'400'000;
// 0001-01-01 and the day after 9999-12-31.
constexpr double FirstDay = -693593.0;
constexpr double EndDay = 2958466.0;

std::function<TDateTime()>& clockOverride()
{
    static std::function<TDateTime()> clock;
    return clock;
}

QString twoDigits(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

// Which AM/PM marker, if any, begins at position i of the format, and its length.
int amPmLength(const QString& format, qsizetype i)
{
    if (format.mid(i, 5).compare(QLatin1String("am/pm"), Qt::CaseInsensitive) == 0)
        return 5;
    return 0;
}

// An h is a 12-hour clock when an AM/PM marker follows before the next h.
bool twelveHourClockAfter(const QString& format, qsizetype i)
{
    QChar quote;
    for (; i < format.size(); ++i) {
        QChar c = format[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c.toLower() == u'h') {
            return false;
        } else if (amPmLength(format, i)) {
            return true;
        }
    }
    return false;
}

} // namespace

TDateTime Now()
{
    if (clockOverride())
        return clockOverride()();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second(), t.msec());
}

void SetClock(std::function<TDateTime()> clock) { clockOverride() = std::move(clock); }

TDateTime EncodeDateTime(int y, int mo, int d, int h, int mi, int s, int ms)
{
    const sys_days day{year{y} / month{unsigned(mo)} / std::chrono::day{unsigned(d)}};
    const double days = double((day - Epoch).count());
    return days + ((h * 60.0 + mi) * 60.0 + s + ms / 1000.0) / SecondsPerDay;
}

DateTimeParts DecodeDateTime(TDateTime value)
{
    // A value no calendar holds (a damaged file) shows as day 0, not as garbage.
    if (!(value > FirstDay && value < EndDay))
        value = 0;
    // The whole part is the date, the fraction's magnitude the time of day
    // (so -1.25 is 1899-12-29 06:00), rounded to the millisecond.
    long long days = static_cast<long long>(std::trunc(value));
    long long ms = std::llround(std::fabs(value - std::trunc(value)) * MsPerDay);
    if (ms >= MsPerDay) {
        ms -= MsPerDay;
        ++days;
    }
    const year_month_day ymd{Epoch + std::chrono::days{days}};
    DateTimeParts p;
    p.year = int(ymd.year());
    p.month = int(unsigned(ymd.month()));
    p.day = int(unsigned(ymd.day()));
    p.hour = int(ms / 3'600'000);
    p.minute = int(ms / 60'000 % 60);
    p.second = int(ms / 1000 % 60);
    p.millisecond = int(ms % 1000);
    return p;
}

QString FormatDateTime(const QString& format, TDateTime value)
{
    const DateTimeParts p = DecodeDateTime(value);
    QString out;
    QChar lastLetter;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype end = format.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? format.size() : end;
            out += format.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (int n = amPmLength(format, i)) {
            // The marker's own letters, so "am/pm" gives lower case.
            out += p.hour < 12 ? format.mid(i, 2) : format.mid(i + 3, 2);
            i += n;
            lastLetter = u'A';
            continue;
        }
        QChar token = c.toLower();
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run].toLower() == token)
            ++run;
        if (token == u'm' && lastLetter == u'h')
            token = u'n';
        const bool isLetter = token.isLetter() && token.unicode() < 128;
        auto number = [&](int v) { out += run >= 2 ? twoDigits(v) : QString::number(v); };
        switch (token.unicode()) {
        case 'y': out += run <= 2 ? twoDigits(p.year % 100) : QString::number(p.year); break;
        case 'm': number(p.month); break;
        case 'd': number(p.day); break;
        case 'h': {
            int hour = p.hour;
            if (twelveHourClockAfter(format, i + run)) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            number(hour);
            break;
        }
        case 'n': number(p.minute); break;
        case 's': number(p.second); break;
        case 'z':
            out += run >= 3 ? QString::number(p.millisecond).rightJustified(3, QLatin1Char('0'))
                            : QString::number(p.millisecond);
            break;
        default: out += format.mid(i, run); break;
        }
        if (isLetter)
            lastLetter = token;
        i += run;
    }
    return out;
}
