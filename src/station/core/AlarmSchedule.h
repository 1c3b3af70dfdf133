#pragma once
#include <cstdint>

// When the alarm window and the sound come, tick by tick of the one-second
// cycle: once an alarm has lasted the delay, the window blinks in every tick,
// and the sound plays with the window shown in every fourth, until the
// operator asks for silence, which holds them off for fifteen minutes. A tick
// without alarm starts it all over.
class AlarmSchedule {
public:
    static constexpr std::int32_t TicksBetweenSounds = 3;
    static constexpr std::int32_t SilencedTicks = 900;

    // What the window and the sound do in one tick with an alarm.
    struct Step {
        bool blink = false;    // the window's colour alternates
        bool sound = false;    // the sound plays and the window comes to the front
        bool silence = false;  // the window closes, and sound and window stay away
    };

    // The delay setting in ticks, counted from the next tick without alarm.
    void setDelay(std::int32_t ticks) { delay_ = ticks; }

    // A tick without alarm, and the start-up.
    void startOver();
    // silenceRequested: the operator asked for silence since the window last closed.
    Step alarmTick(bool silenceRequested);

    std::int32_t AlarmDelayCountdown = 0;
    std::int32_t AlarmSoundCountdown = 0;

private:
    std::int32_t delay_ = 0;
};
