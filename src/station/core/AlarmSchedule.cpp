#include "station/core/AlarmSchedule.h"

void AlarmSchedule::startOver()
{
    AlarmSoundCountdown = 0;
    AlarmDelayCountdown = delay_;
}

AlarmSchedule::Step AlarmSchedule::alarmTick(bool silenceRequested)
{
    Step step;
    if (AlarmDelayCountdown > 0) {
        --AlarmDelayCountdown;
        return step;
    }
    step.blink = true;
    if (AlarmSoundCountdown > 0) {
        --AlarmSoundCountdown;
    } else {
        AlarmSoundCountdown = TicksBetweenSounds;
        step.sound = true;
    }
    if (silenceRequested) {
        AlarmSoundCountdown = SilencedTicks;
        step.silence = true;
    }
    return step;
}
