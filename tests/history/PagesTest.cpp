#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>

#include "chart/Chart.h"
#include "history/DateTimePicker.h"
#include "history/Form1.h"
#include "history/Form2.h"
#include "support/HistoryDriver.h"
#include "support/WindowDriver.h"

namespace {

// ">>" and "<<" never show, but their loads keep the page bookkeeping that
// open begins: pages of 20,000 records, labelled from the page's start time.
TEST(Pages, NextAndBackMoveByWholePages)
{
    HistoryDriver w;
    TForm1& form = w.form();
    w.open(w.write("h.nx", {.interval = 60, .channels = 2, .records = 45000}));
    const QString range = widget<QLabel>(form, "lb_histr_time")->text();
    const TDateTime pickerEnd = widget<DatePicker>(form, "DateTimePickerEndDate")->value();
    const ChartSeries* first = nullptr;

    form.Button_histr_nextClick();
    first = &w.chart().series(0);
    EXPECT_EQ(widget<QLabel>(form, "Label_histr_pagecount")->text(), QStringLiteral("共3页 第2页"));
    EXPECT_EQ(first->count(), 20000);
    EXPECT_EQ(first->yValue(0), recordValue(20000, 0));
    EXPECT_EQ(first->label(0), QStringLiteral("11-01 06:25:00"));
    EXPECT_EQ(first->title(), QString()) << "page loads leave the series untitled";
    EXPECT_TRUE(widget<QPushButton>(form, "Button_histr_back")->isEnabled());
    EXPECT_TRUE(widget<QPushButton>(form, "Button_histr_next")->isEnabled());

    form.Button_histr_nextClick();
    first = &w.chart().series(0);
    EXPECT_EQ(first->count(), 5000);
    EXPECT_EQ(first->yValue(4999), recordValue(44999, 0));
    EXPECT_FALSE(widget<QPushButton>(form, "Button_histr_next")->isEnabled()) << "the last page met the end of the file";

    form.Button_histr_backClick();
    first = &w.chart().series(0);
    EXPECT_EQ(widget<QLabel>(form, "Label_histr_pagecount")->text(), QStringLiteral("共3页 第2页"));
    EXPECT_EQ(first->count(), 20000);
    EXPECT_EQ(first->yValue(0), recordValue(20000, 0));
    EXPECT_EQ(first->label(0), QStringLiteral("11-01 06:25:00"));
    EXPECT_TRUE(widget<QPushButton>(form, "Button_histr_next")->isEnabled());
    EXPECT_TRUE(widget<QPushButton>(form, "Button_histr_back")->isEnabled());

    form.Button_histr_backClick();
    EXPECT_EQ(w.chart().series(0).yValue(0), recordValue(0, 0));
    EXPECT_FALSE(widget<QPushButton>(form, "Button_histr_back")->isEnabled()) << "the first page begins with record 0";
    EXPECT_EQ(widget<QLabel>(form, "lb_histr_time")->text(), range);
    EXPECT_EQ(widget<DatePicker>(form, "DateTimePickerEndDate")->value(), pickerEnd);
    EXPECT_TRUE(w.crossHairFollowsMouse());
}

// A find between page loads changes neither the file's range nor the page
// shown: ">>" goes on after page 1 as it does without the find, and the
// export still offers the whole file.
TEST(Pages, FindLeavesThePagesAndTheRangeAlone)
{
    HistoryDriver w;
    const HistoryFileSpec spec{.interval = 60, .channels = 2, .records = 45000};
    w.open(w.write("h.nx", spec));
    w.find(spec.start + 100 * 60 / SecondsPerDay, spec.start + 200 * 60 / SecondsPerDay);
    ASSERT_EQ(w.chart().series(0).yValue(0), recordValue(100, 0));

    w.form().Button_histr_nextClick();
    const ChartSeries& first = w.chart().series(0);
    EXPECT_EQ(widget<QLabel>(w.form(), "Label_histr_pagecount")->text(), QStringLiteral("共3页 第2页"));
    EXPECT_EQ(first.count(), 20000);
    EXPECT_EQ(first.yValue(0), recordValue(20000, 0));
    EXPECT_EQ(first.label(0), QStringLiteral("11-01 06:25:00"));

    QString offered;
    EXPECT_TRUE(w.inExportDialog([&](TForm2& form2) { offered = widget<QLabel>(form2, "Label_histr_timerange")->text(); }));
    EXPECT_EQ(offered, QStringLiteral("有效时间范围：18-10-18 09:05:00 至 18-11-18 15:05:00         "));
}

} // namespace
