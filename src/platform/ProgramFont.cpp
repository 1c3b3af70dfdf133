#include "platform/ProgramFont.h"

QString programFontFamily()
{
    return QStringLiteral("WenQuanYi Zen Hei");
}

QFont programFont(int pixelSize)
{
    QFont font(programFontFamily());
    font.setPixelSize(pixelSize);
    return font;
}
