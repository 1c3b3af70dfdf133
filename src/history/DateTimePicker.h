#pragma once
#include <QDateTimeEdit>

#include "platform/DateTime.h"

// A picker of a date or of a time of day that holds a whole date-time, as
// the desktop's pickers do: the date picker shows and edits the date and
// keeps the time of day, the time picker the other way round. A value set
// by code is kept to the last bit, whatever the picker shows.
class DateTimePicker : public QDateTimeEdit {
    Q_OBJECT
public:
    enum class Kind { Date, Time };
    // Starts at the current date and time.
    DateTimePicker(Kind kind, QWidget* parent);

    TDateTime value() const { return value_; }
    void setValue(TDateTime value);
    // Keeps the date and takes the time of day of value.
    void setTimeOfDay(TDateTime value);

private:
    void showValue();
    void takeEdit(const QDateTime& shown);

    Kind kind_;
    TDateTime value_ = 0;
    bool showing_ = false;
};

class DatePicker : public DateTimePicker {
public:
    explicit DatePicker(QWidget* parent = nullptr) : DateTimePicker(Kind::Date, parent) {}
};

class TimePicker : public DateTimePicker {
public:
    explicit TimePicker(QWidget* parent = nullptr) : DateTimePicker(Kind::Time, parent) {}
};
