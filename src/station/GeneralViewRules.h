#pragma once
#include <QPoint>
#include <QString>
#include <cstdint>

#include "platform/Colors.h"

// How the overview lays out and colours its panels, apart from any widget.

constexpr int PanelWidth = 220;
constexpr int PanelHeight = 110;
constexpr int PanelRowPitch = 116;
constexpr int PanelMargin = 6;

struct PanelColumns {
    int cols = 1;
    int gap = 0;
};

// One column below 460 pixels, else as many 220-pixel columns as fit in the
// width less 20, spread by the gap that is left.
PanelColumns panelColumns(int width);

// Top-left corner of the i-th panel in global channel order.
QPoint panelPosition(int i, PanelColumns columns);

// A channel's alarm flags as bits, as channelAlarmBits gives them.
enum AlarmBits : std::uint8_t { AlarmBitLL = 1, AlarmBitL = 2, AlarmBitH = 4, AlarmBitHH = 8 };

// The colour of a panel in alarm, one blink phase per tick: back to green
// from any other colour; from green blue while the alarm delay counts, red
// for a high alarm, yellow for a low one.
TColor nextAlarmPanelColor(TColor before, std::int32_t alarmDelayCountdown, std::uint8_t alarmBits);

// " " then a four-character field per level: " LLA", "  LA", "  HA", " HHA" or blanks.
QString panelAlarmText(std::uint8_t alarmBits);
