#include <gtest/gtest.h>

#include "history/DateTimePicker.h"
#include "support/GuiApp.h"

namespace {

const TDateTime Held = EncodeDateTime(2018, 10, 18, 9, 5, 30, 250);

// What the user edits is the picker's part of the date-time; the other part
// stays as it was, and a value set by code is held whole.
TEST(DateTimePicker, UserEditsChangeOnlyThePickersPart)
{
    ensureGuiApp();
    DatePicker date;
    TimePicker time;
    date.setValue(Held + 1e-9);
    EXPECT_EQ(date.value(), Held + 1e-9) << "kept to the last bit";
    date.setValue(Held);
    time.setValue(Held);

    date.QDateTimeEdit::setDateTime(QDateTime(QDate(2018, 10, 20), QTime(23, 59), Qt::UTC));
    EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS.ZZZ", date.value()), "2018-10-20 09:05:30.250");
    time.QDateTimeEdit::setDateTime(QDateTime(QDate(2000, 1, 1), QTime(10, 0, 0), Qt::UTC));
    EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS.ZZZ", time.value()), "2018-10-18 10:00:00.000");

    date.setTimeOfDay(time.value());
    EXPECT_EQ(FormatDateTime("YYYY-MM-DD HH:NN:SS.ZZZ", date.value()), "2018-10-20 10:00:00.000");
}

} // namespace
