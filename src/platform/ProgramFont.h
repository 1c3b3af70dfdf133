#pragma once
#include <QFont>
#include <QString>

// The font family both programs draw every text in. It is named, not left to
// fontconfig's choice among the fonts a machine has, because common CJK fonts
// draw some unit symbols blank (WenQuanYi Micro Hei's "℃"); this one draws
// every GB2312 character and unit symbol. scripts/setup installs it.
QString programFontFamily();

// The programs' font at a size in pixels, for texts whose places are laid out
// in pixels.
QFont programFont(int pixelSize);
