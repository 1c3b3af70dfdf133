#pragma once
#include <QImage>
#include <QString>

// Decodes a JPEG file with libjpeg. A file that is missing or cannot be
// decoded gives a null image.
QImage loadJpeg(const QString& path);
