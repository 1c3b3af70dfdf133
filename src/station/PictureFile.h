#pragma once
#include <QImage>
#include <QString>

// A picture file, its format chosen by the file name's extension: ".jpg" and
// ".jpeg" through libjpeg, every other format through Qt's readers. A file
// that is missing, cannot be decoded or declares more than MaxPicturePixels
// gives a null image.
QImage loadPictureFile(const QString& path);
