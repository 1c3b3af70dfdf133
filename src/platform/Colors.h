#pragma once
#include <QColor>
#include <cstdint>

// Colour values as the station stores them: 0x00BBGGRR, or a system colour
// (high byte 0xFF, low byte the system colour's number).
using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clMoneyGreen = 0xC0DCC0;
constexpr TColor clSkyBlue = 0xF0CAA6;
constexpr TColor clCream = 0xF0FBFF;
constexpr TColor clMedGray = 0xA4A0A0;

constexpr TColor systemColor(int number) { return static_cast<TColor>(0xFF000000u | unsigned(number)); }
constexpr TColor clBackground = systemColor(1);  // the desktop
constexpr TColor clWindow = systemColor(5);
constexpr TColor clWindowText = systemColor(8);
constexpr TColor clHighlight = systemColor(13);
constexpr TColor clHighlightText = systemColor(14);
constexpr TColor clBtnFace = systemColor(15);
constexpr TColor clBtnText = systemColor(18);

// The colour to paint for a stored value; system colours take the classic
// desktop scheme, so that what is drawn does not depend on the theme.
QColor toQColor(TColor color);
