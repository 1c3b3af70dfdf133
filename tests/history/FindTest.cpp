#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include "chart/Chart.h"
#include "history/DateTimePicker.h"
#include "history/Form1.h"
#include "history/PanelColor.h"
#include "support/HistoryDriver.h"
#include "support/WindowDriver.h"

namespace {

const TDateTime Start = EncodeDateTime(2018, 10, 18, 9, 5, 0);
const double Second = 1 / 86400.0;

// A window with a file of 10 records a minute apart, 3 channels.
class Find : public testing::Test {
protected:
    void SetUp() override { w.open(path); }

    std::vector<QString> labels() const
    {
        std::vector<QString> result;
        const ChartSeries& s = const_cast<HistoryDriver&>(w).chart().series(0);
        for (int k = 0; k < s.count(); ++k)
            result.push_back(s.label(k));
        return result;
    }
    std::vector<float> values(int channel)
    {
        std::vector<float> result;
        const ChartSeries& s = w.chart().series(channel);
        for (int k = 0; k < s.count(); ++k)
            result.push_back(float(s.yValue(k)));
        return result;
    }

    HistoryDriver w;
    const HistoryFileSpec spec{.start = Start, .interval = 60, .channels = 3, .records = 10};
    const std::string path = w.write("h.nx", spec);
};

struct RangeCase {
    const char* name;
    double startSeconds, endSeconds;  // from the file's start; the file spans 600
    const char* message;
};

// A range outside the file, or backwards, is refused with the first message
// that applies; nothing is read and the chart stays, but the date pickers
// keep the date and time put together.
TEST_F(Find, RefusesRangesOutsideTheFileInOrder)
{
    const std::vector<RangeCase> cases = {
        {"start before and end after", -60, 660, "超出时间范围上限！"},
        {"end after", 0, 601, "超出时间范围上限！"},
        {"start before", -1, 300, "超出时间范围下限！"},
        {"start after end", 300, 299, "开始时间大于结束时间!"},
    };
    for (const RangeCase& c : cases) {
        w.boxes.clear();
        w.chart().zoomPercent(115);
        widget<DatePicker>(w.form(), "DateTimer_give_date")->setValue(Start - 5);
        widget<TimePicker>(w.form(), "DateTimer_give_time")->setValue(Start + c.startSeconds * Second);
        widget<DatePicker>(w.form(), "DateTimePickerEndDate")->setValue(Start - 5);
        widget<TimePicker>(w.form(), "DateTimePickerEndTime")->setValue(Start + c.endSeconds * Second);
        widget<DatePicker>(w.form(), "DateTimer_give_date")->setValue(Start);
        widget<DatePicker>(w.form(), "DateTimePickerEndDate")->setValue(Start);
        widget<QPushButton>(w.form(), "Button1")->click();
        EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QString::fromUtf8(c.message)}) << c.name;
        EXPECT_EQ(w.chart().series(0).count(), 10) << c.name;
        EXPECT_TRUE(w.chart().isZoomed()) << c.name;
        EXPECT_EQ(shownTime(widget<DatePicker>(w.form(), "DateTimer_give_date")->value()), shownTime(Start + c.startSeconds * Second)) << c.name;
        EXPECT_EQ(shownTime(widget<DatePicker>(w.form(), "DateTimePickerEndDate")->value()), shownTime(Start + c.endSeconds * Second)) << c.name;
    }
}

// The first record is the one at or before the start; it and the ones after
// are labelled from the chosen start, a step apart, until the end is passed.
TEST_F(Find, LoadsFromTheRecordAtOrBeforeTheStartLabelledFromTheStart)
{
    w.find(Start + 30 * Second, Start + 150 * Second);
    EXPECT_TRUE(w.boxes.shown().empty());
    EXPECT_EQ(labels(), (std::vector<QString>{"10-18 09:05:30", "10-18 09:06:30", "10-18 09:07:30"}));
    EXPECT_EQ(values(2), (std::vector<float>{recordValue(0, 2), recordValue(1, 2), recordValue(2, 2)}));
    EXPECT_EQ(w.chart().series(1).count(), 3);
    EXPECT_EQ(widget<QProgressBar>(w.form(), "CGauge1")->maximum(), 2) << "whole intervals from start to end";
    EXPECT_EQ(w.chart().series(0).xValue(2), 2);
    EXPECT_TRUE(w.crossHairFollowsMouse());
    EXPECT_FALSE(widget<QFrame>(w.form(), "Panel_histread_progress")->isVisibleTo(&w.form()));

    w.find(Start + 200 * Second, Start + 200 * Second);
    EXPECT_EQ(labels(), (std::vector<QString>{"10-18 09:08:20", "10-18 09:09:20"})) << "a start equal to the end takes two";
    EXPECT_EQ(values(0), (std::vector<float>{recordValue(3, 0), recordValue(4, 0)}));

    const TDateTime end = historyFileEnd(spec);
    w.find(end, end);
    EXPECT_TRUE(w.boxes.shown().empty());
    ASSERT_EQ(w.chart().seriesCount(), 3);
    EXPECT_EQ(w.chart().series(0).count(), 0) << "nothing follows the last record";
}

// Find leaves the rows alone, their ticks and the range shown; its series
// take the rows' swatch colours and the aliases, an open the chart's own
// colours again. (Pages.FindLeavesThePagesAndTheRangeAlone shows the rest.)
TEST_F(Find, KeepsTheRowsAndColoursSeriesFromThem)
{
    const QString range = widget<QLabel>(w.form(), "lb_histr_time")->text();
    w.setAlias(2, QStringLiteral("出口"));
    setPanelColor(w.rowSwatch(2), QColor(1, 2, 3));
    const QCheckBox* row = w.rowCheckBox(0);

    w.find(Start, Start + 600 * Second);
    EXPECT_EQ(w.chart().series(0).count(), 10);
    EXPECT_EQ(w.chart().series(2).color(), QColor(1, 2, 3));
    EXPECT_EQ(w.chart().series(2).title(), QStringLiteral("出口"));
    EXPECT_EQ(w.rowCheckBox(0), row);
    EXPECT_EQ(widget<QLabel>(w.form(), "lb_histr_time")->text(), range);

    w.open(path);
    EXPECT_NE(w.chart().series(2).color(), QColor(1, 2, 3));
    EXPECT_EQ(panelColor(w.rowSwatch(2)), w.chart().series(2).color());
}

// Record indexes and file offsets past 32 bits: a find near the end of a
// file of more than 2^31 records reads the records asked for.
TEST(FindFarRecords, ReadsTheLastRecordsOfAFileOfMoreThan2To31Records)
{
    HistoryDriver w;
    const HistoryFileSpec spec = beyond32BitsSpec();
    w.open(w.write("far.nx", spec));
    const std::int64_t last = spec.records - 1;
    w.find(timeAfterIntervals(spec.start, last - 2, 1), timeAfterIntervals(spec.start, last, 1));
    EXPECT_TRUE(w.boxes.shown().empty());
    const ChartSeries& series = w.chart().series(0);
    ASSERT_EQ(series.count(), 3);
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(float(series.yValue(k)), spec.value(last - 2 + k, 0)) << k;
    EXPECT_EQ(series.label(2), FormatDateTime(QStringLiteral("MM-DD HH:NN:SS"), timeAfterIntervals(spec.start, last, 1)));
}

} // namespace
