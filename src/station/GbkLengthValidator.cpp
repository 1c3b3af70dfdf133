#include "station/GbkLengthValidator.h"

#include "platform/Gbk.h"

GbkLengthValidator::GbkLengthValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}

QValidator::State GbkLengthValidator::validate(QString& input, int&) const
{
    const QByteArray gbk = toGbk(input);
    if (gbk.size() > maxBytes_ || fromGbk(gbk) != input)
        return Invalid;
    return Acceptable;
}
