#include <gtest/gtest.h>

#include <cmath>

#include "platform/DateTime.h"

namespace {

struct FormatCase {
    const char* format;
    int hour, minute, second;
    const char* expected;
};

class FormatDateTimeCases : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDateTimeCases, FormatsLocalTime)
{
    const FormatCase& c = GetParam();
    const TDateTime t = EncodeDateTime(2018, 10, 8, c.hour, c.minute, c.second);
    EXPECT_EQ(FormatDateTime(QString::fromUtf8(c.format), t), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    StationAndHistoryFormats, FormatDateTimeCases,
    ::testing::Values(FormatCase{"YY-MM-DD HH:NN:SS", 9, 5, 3, "18-10-08 09:05:03"},
                      FormatCase{"YY'年'MM'月'", 9, 5, 3, "18年10月"},
                      FormatCase{"DD'日'HH'时'NN'分'SS'秒'", 9, 5, 3, "08日09时05分03秒"},
                      FormatCase{"DD'日'AM/PM", 0, 0, 0, "08日AM"},
                      FormatCase{"DD'日'AM/PM", 11, 59, 59, "08日AM"},
                      FormatCase{"DD'日'AM/PM", 12, 0, 0, "08日PM"},
                      FormatCase{"DD'日'AM/PM", 23, 59, 59, "08日PM"},
                      FormatCase{"HH:NN:SS", 23, 59, 59, "23:59:59"},
                      FormatCase{"MM-DD HH:NN:SS", 0, 0, 1, "10-08 00:00:01"},
                      // Less used specifiers keep their usual meaning.
                      FormatCase{"yyyy/m/d h:mm", 7, 4, 0, "2018/10/8 7:04"},
                      FormatCase{"h am/pm", 0, 30, 0, "12 am"},
                      FormatCase{"hh AM/PM", 13, 5, 0, "01 PM"},
                      FormatCase{"\"DD\" DD", 1, 2, 3, "DD 08"}));

TEST(DateTime, EncodesDaysSince30December1899)
{
    EXPECT_DOUBLE_EQ(EncodeDateTime(1899, 12, 30), 0.0);
    EXPECT_DOUBLE_EQ(EncodeDateTime(1900, 1, 1, 12), 2.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(2018, 10, 8), 43381.0);
}

TEST(DateTime, DecodeRoundsToTheMillisecondAndCarriesIntoTheNextDay)
{
    const TDateTime leap = EncodeDateTime(2024, 2, 29, 23, 59, 59, 999);
    DateTimeParts p = DecodeDateTime(leap);
    EXPECT_EQ((std::vector<int>{p.year, p.month, p.day, p.hour, p.minute, p.second, p.millisecond}),
              (std::vector<int>{2024, 2, 29, 23, 59, 59, 999}));

    // A second added as 1/86400 lands a hair below the next day.
    p = DecodeDateTime(EncodeDateTime(2024, 2, 29, 23, 59, 59) + 1.0 / SecondsPerDay - 1e-12);
    EXPECT_EQ((std::vector<int>{p.year, p.month, p.day, p.hour, p.minute, p.second}),
              (std::vector<int>{2024, 3, 1, 0, 0, 0}));
}

TEST(DateTime, ValueNoCalendarHoldsFormatsAsDayZero)
{
    for (double bad : {std::nan(""), 1e300, -1e300, 3e6})
        EXPECT_EQ(FormatDateTime("YY-MM-DD HH:NN:SS", bad), QStringLiteral("99-12-30 00:00:00")) << bad;
}

TEST(DateTime, NowReadsTheClockTestsSet)
{
    const TDateTime fixed = EncodeDateTime(2018, 10, 8, 9, 5, 3);
    SetClock([fixed] { return fixed; });
    EXPECT_EQ(Now(), fixed);
    SetClock({});
    EXPECT_GT(Now(), EncodeDateTime(2020, 1, 1));
}

} // namespace
