#include "station/GeneralViewRules.h"

PanelColumns panelColumns(int width)
{
    if (width < 460)
        return {};
    const int cols = (width - 20) / PanelWidth;
    return {cols, (width - PanelWidth * cols) / cols};
}

QPoint panelPosition(int i, PanelColumns columns)
{
    const int col = i % columns.cols;
    const int row = i / columns.cols;
    return {PanelMargin + col * (PanelWidth + columns.gap), PanelMargin + row * PanelRowPitch};
}

TColor nextAlarmPanelColor(TColor before, std::int32_t alarmDelayCountdown, std::uint8_t alarmBits)
{
    if (before != clLime)
        return clLime;
    if (alarmDelayCountdown > 0)
        return clBlue;
    return alarmBits & (AlarmBitH | AlarmBitHH) ? clRed : clYellow;
}

QString panelAlarmText(std::uint8_t alarmBits)
{
    QString text = " ";
    text += alarmBits & AlarmBitLL ? " LLA" : "    ";
    text += alarmBits & AlarmBitL ? "  LA" : "    ";
    text += alarmBits & AlarmBitH ? "  HA" : "    ";
    text += alarmBits & AlarmBitHH ? " HHA" : "    ";
    return text;
}
