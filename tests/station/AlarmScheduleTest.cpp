#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "station/core/AlarmSchedule.h"

namespace {

// Ticks in a row with the same input and the same outcome. In: 'q' no alarm,
// 'a' alarm, 's' alarm after the operator asked for silence. Out: '.' a tick
// without alarm, '-' the delay counts, else 'b' blink, 'S' blink and sound,
// 'X' blink and silence, 'Y' all three.
struct Ticks {
    char in;
    int ticks;
    char out;
};

struct ScheduleCase {
    const char* name;
    int delay;
    std::vector<Ticks> runs;
};

char outcome(const AlarmSchedule::Step& step)
{
    if (!step.blink)
        return step.sound || step.silence ? '?' : '-';
    if (step.sound)
        return step.silence ? 'Y' : 'S';
    return step.silence ? 'X' : 'b';
}

class AlarmScheduleTicks : public testing::TestWithParam<ScheduleCase> {};

TEST_P(AlarmScheduleTicks, WindowAndSoundPerTick)
{
    AlarmSchedule schedule;
    schedule.setDelay(GetParam().delay);
    int tick = 0;
    for (const Ticks& run : GetParam().runs) {
        for (int i = 0; i < run.ticks; ++i, ++tick) {
            char out = '.';
            if (run.in == 'q')
                schedule.startOver();
            else
                out = outcome(schedule.alarmTick(run.in == 's'));
            ASSERT_EQ(out, run.out) << "tick " << tick;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AlarmScheduleTicks,
    testing::Values(
        ScheduleCase{"DelayOfThree", 3, {{'q', 1, '.'}, {'a', 3, '-'}, {'a', 1, 'S'}, {'a', 3, 'b'}, {'a', 1, 'S'}}},
        ScheduleCase{"DelayOfZero", 0, {{'q', 1, '.'}, {'a', 1, 'S'}, {'a', 3, 'b'}, {'a', 1, 'S'}}},
        ScheduleCase{"NegativeDelayIsNone", -2, {{'q', 1, '.'}, {'a', 1, 'S'}}},
        ScheduleCase{"SilenceHoldsOffFor900Ticks", 0,
                     {{'q', 1, '.'}, {'a', 1, 'S'}, {'a', 1, 'b'}, {'s', 1, 'X'}, {'a', 900, 'b'}, {'a', 1, 'S'}}},
        ScheduleCase{"SilenceInASoundingTick", 0, {{'q', 1, '.'}, {'s', 1, 'Y'}, {'a', 900, 'b'}, {'a', 1, 'S'}}},
        ScheduleCase{"SilenceWaitsForTheDelay", 1, {{'q', 1, '.'}, {'s', 1, '-'}, {'s', 1, 'Y'}}},
        ScheduleCase{"TickWithoutAlarmEndsTheSilence", 2,
                     {{'q', 1, '.'}, {'a', 2, '-'}, {'a', 1, 'S'}, {'s', 1, 'X'}, {'q', 1, '.'}, {'a', 2, '-'},
                      {'a', 1, 'S'}}}),
    [](const auto& info) { return std::string(info.param.name); });

// A new delay setting leaves a delay that already counts alone.
TEST(AlarmScheduleDelay, NewSettingCountsFromTheNextTickWithoutAlarm)
{
    AlarmSchedule schedule;
    schedule.setDelay(2);
    schedule.startOver();
    schedule.setDelay(0);
    EXPECT_FALSE(schedule.alarmTick(false).blink);
    EXPECT_FALSE(schedule.alarmTick(false).blink);
    EXPECT_TRUE(schedule.alarmTick(false).sound);
    schedule.startOver();
    EXPECT_TRUE(schedule.alarmTick(false).sound);
}

}  // namespace
