#include "history/DateTimePicker.h"

#include <cmath>

#include "platform/GuardedHandler.h"

namespace {

TDateTime dateOf(TDateTime value) { return std::trunc(value); }
TDateTime timeOfDayOf(TDateTime value) { return value - std::trunc(value); }

} // namespace

DateTimePicker::DateTimePicker(Kind kind, QWidget* parent) : QDateTimeEdit(parent), kind_(kind)
{
    setTimeSpec(Qt::UTC);  // a local time that a clock change skips is still a time of day here
    if (kind_ == Kind::Date) {
        setDisplayFormat(QStringLiteral("yy-MM-dd"));
        setCalendarPopup(true);
    } else {
        setDisplayFormat(QStringLiteral("HH:mm:ss"));
    }
    connect(this, &QDateTimeEdit::dateTimeChanged, this, guarded(this, &DateTimePicker::takeEdit));
    setValue(Now());
}

void DateTimePicker::setValue(TDateTime value)
{
    value_ = value;
    showValue();
}

void DateTimePicker::setTimeOfDay(TDateTime value)
{
    setValue(dateOf(value_) + timeOfDayOf(value));
}

void DateTimePicker::showValue()
{
    const DateTimeParts p = DecodeDateTime(value_);
    showing_ = true;
    setDateTime(QDateTime(QDate(p.year, p.month, p.day), QTime(p.hour, p.minute, p.second, p.millisecond), Qt::UTC));
    showing_ = false;
}

void DateTimePicker::takeEdit(const QDateTime& shown)
{
    if (showing_)
        return;
    const QDate d = shown.date();
    const QTime t = shown.time();
    if (kind_ == Kind::Date)
        value_ = EncodeDateTime(d.year(), d.month(), d.day()) + timeOfDayOf(value_);
    else
        value_ = dateOf(value_) + EncodeDateTime(1899, 12, 30, t.hour(), t.minute(), t.second(), t.msec());
}
