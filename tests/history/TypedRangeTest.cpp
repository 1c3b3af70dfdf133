// A range typed into the pickers as the window shows it: find and export
// take the shown start and end as inside the file, however the date-time
// doubles round, and refuse what lies a millisecond outside.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>

#include "chart/Chart.h"
#include "history/DateTimePicker.h"
#include "history/Form1.h"
#include "history/Form2.h"
#include "platform/FileDialog.h"
#include "support/HistoryDriver.h"
#include "support/WindowDriver.h"

namespace {

const double Millisecond = 1 / 86400000.0;

// More than a page each, at odd start seconds and intervals.
const std::vector<HistoryFileSpec> Files = {
    {.start = EncodeDateTime(2018, 10, 18, 9, 5, 3), .interval = 1, .channels = 1, .records = 20795},
    {.start = EncodeDateTime(2018, 10, 18, 9, 5, 3), .interval = 7, .channels = 1, .records = 20001},
    {.start = EncodeDateTime(2019, 3, 7, 23, 59, 57), .interval = 3, .channels = 1, .records = 24113},
    {.start = EncodeDateTime(2020, 2, 29, 13, 17, 41), .interval = 13, .channels = 1, .records = 21347},
    {.start = EncodeDateTime(2021, 6, 15, 4, 44, 11), .interval = 59, .channels = 1, .records = 20409},
    {.start = EncodeDateTime(2017, 12, 31, 18, 0, 1), .interval = 1, .channels = 1, .records = 33331},
    {.start = EncodeDateTime(2018, 1, 2, 7, 33, 19), .interval = 11, .channels = 1, .records = 22222},
    {.start = EncodeDateTime(2022, 8, 9, 10, 11, 29), .interval = 5, .channels = 1, .records = 27183},
};

// The start and end a range label shows: "YY-MM-DD HH:NN:SS 至 YY-MM-DD HH:NN:SS".
std::pair<QDateTime, QDateTime> shownRange(const QString& label)
{
    static const QRegularExpression range(QStringLiteral(R"((\d\d-\d\d-\d\d) (\d\d:\d\d:\d\d) 至 (\d\d-\d\d-\d\d) (\d\d:\d\d:\d\d))"));
    const QRegularExpressionMatch m = range.match(label);
    EXPECT_TRUE(m.hasMatch()) << label.toStdString();
    const auto read = [&](int at) {
        return QDateTime(QDate::fromString(QStringLiteral("20") + m.captured(at), QStringLiteral("yyyy-MM-dd")),
                         QTime::fromString(m.captured(at + 1), QStringLiteral("HH:mm:ss")), Qt::UTC);
    };
    return {read(1), read(3)};
}

// The user edits the date and the time of day, then types them back as shown.
void typeBack(DateTimePicker& date, DateTimePicker& time, const QDateTime& shown)
{
    date.QDateTimeEdit::setDateTime(shown.addDays(1));
    date.QDateTimeEdit::setDateTime(shown);
    time.QDateTimeEdit::setDateTime(shown.addSecs(1));
    time.QDateTimeEdit::setDateTime(shown);
}

void setPickers(DateTimePicker& date, DateTimePicker& time, TDateTime t)
{
    date.setValue(t);
    time.setValue(t);
}

// A time given in milliseconds from the file's start or from its end.
struct Edge {
    bool fromEnd;
    double ms;
    TDateTime of(const HistoryFileSpec& spec) const
    {
        return (fromEnd ? historyFileEnd(spec) : spec.start) + ms * Millisecond;
    }
};

struct OutsideCase {
    const char* name;
    Edge start, end;
    const char* findMessage;
};

// A millisecond outside the file, or a start a millisecond after the end.
const std::vector<OutsideCase> Outside = {
    {"end after", {false, 0}, {true, 1}, "超出时间范围上限！"},
    {"start before", {false, -1}, {true, 0}, "超出时间范围下限！"},
    {"start after end", {false, 1}, {false, 0}, "开始时间大于结束时间!"},
};

std::string fileName(const HistoryFileSpec& spec)
{
    return shownTime(spec.start).toStdString() + ", every " + std::to_string(spec.interval) + " s";
}

TEST(TypedRange, FindTakesTheShownRangeAndRefusesAMillisecondOutside)
{
    for (const HistoryFileSpec& spec : Files) {
        SCOPED_TRACE(fileName(spec));
        HistoryDriver w;
        TForm1& form = w.form();
        w.open(w.write("h.nx", spec));
        const auto [start, end] = shownRange(widget<QLabel>(form, "lb_histr_time")->text());
        typeBack(*widget<DatePicker>(form, "DateTimer_give_date"), *widget<TimePicker>(form, "DateTimer_give_time"), start);
        typeBack(*widget<DatePicker>(form, "DateTimePickerEndDate"), *widget<TimePicker>(form, "DateTimePickerEndTime"), end);
        widget<QPushButton>(form, "Button1")->click();
        EXPECT_TRUE(w.boxes.texts().empty());
        EXPECT_EQ(w.chart().series(0).count(), spec.records);

        for (const OutsideCase& c : Outside) {
            w.boxes.clear();
            w.find(c.start.of(spec), c.end.of(spec));
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QString::fromUtf8(c.findMessage)}) << c.name;
        }
    }
}

TEST(TypedRange, ExportTakesTheShownRangeAndRefusesAMillisecondOutside)
{
    for (const HistoryFileSpec& spec : Files) {
        SCOPED_TRACE(fileName(spec));
        HistoryDriver w;
        w.open(w.write("h.nx", spec));
        const bool shown = w.inExportDialog([&](TForm2& form2) {
            const auto [start, end] = shownRange(widget<QLabel>(form2, "Label_histr_timerange")->text());
            typeBack(*widget<DatePicker>(form2, "DateTimePicker_histr_startdate"), *widget<TimePicker>(form2, "DateTimePicker_histr_starttime"), start);
            typeBack(*widget<DatePicker>(form2, "DateTimePicker_histr_enddate"), *widget<TimePicker>(form2, "DateTimePicker_histr_endtime"), end);
            FileDialogAnswers answers{QString::fromStdString(w.dir.file("out.xls"))};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("数据导出完成！")});

            for (const OutsideCase& c : Outside) {
                w.boxes.clear();
                setPickers(*widget<DatePicker>(form2, "DateTimePicker_histr_startdate"), *widget<TimePicker>(form2, "DateTimePicker_histr_starttime"),
                           c.start.of(spec));
                setPickers(*widget<DatePicker>(form2, "DateTimePicker_histr_enddate"), *widget<TimePicker>(form2, "DateTimePicker_histr_endtime"),
                           c.end.of(spec));
                widget<QPushButton>(form2, "Button1")->click();
                EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("时间范围不正确！")}) << c.name;
            }
        });
        EXPECT_TRUE(shown);
    }
}

} // namespace
