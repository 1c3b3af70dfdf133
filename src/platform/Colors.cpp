#include "platform/Colors.h"

namespace {

QColor systemQColor(int number)
{
    switch (systemColor(number)) {
    case clBackground: return QColor(0x00, 0x80, 0x80);
    case clWindow: return QColor(0xFF, 0xFF, 0xFF);
    case clHighlight: return QColor(0x00, 0x78, 0xD7);
    case clHighlightText: return QColor(0xFF, 0xFF, 0xFF);
    case clBtnFace: return QColor(0xF0, 0xF0, 0xF0);
    default: return QColor(0x00, 0x00, 0x00);
    }
}

} // namespace

QColor toQColor(TColor color)
{
    const auto bits = static_cast<std::uint32_t>(color);
    if ((bits >> 24) == 0xFF)
        return systemQColor(int(bits & 0xFF));
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}
