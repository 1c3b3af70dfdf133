#pragma once
#include <QImage>
#include <QString>

// The most pixels a picture may declare: a damaged or hostile header would
// otherwise have gigabytes set aside and decoded before the program goes on.
inline constexpr qint64 MaxPicturePixels = 64'000'000;

// Decodes a JPEG file with libjpeg. A file that is missing, is not a regular
// file, cannot be decoded or declares more than MaxPicturePixels gives a
// null image.
QImage loadJpeg(const QString& path);
