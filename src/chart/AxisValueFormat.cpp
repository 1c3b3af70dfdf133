#include "chart/AxisValueFormat.h"

#include <cmath>

QString formatAxisValue(double value)
{
    if (!std::isfinite(value))
        return QString::number(value);
    QString text = QString::number(std::abs(value), 'f', 3);
    while (text.endsWith(u'0'))
        text.chop(1);
    if (text.endsWith(u'.'))
        text.chop(1);
    const qsizetype point = text.indexOf(u'.');
    for (qsizetype i = (point < 0 ? text.size() : point) - 3; i > 0; i -= 3)
        text.insert(i, u',');
    if (value < 0 && text != u"0")
        text.prepend(u'-');
    return text;
}
