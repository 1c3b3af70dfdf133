#pragma once
#include <QImage>
#include <QString>

// A picture file, its format chosen by the file name's extension: ".jpg" and
// ".jpeg" through libjpeg, every other by its content through Qt's readers.
// A file that is missing, is not a regular file (a FIFO would never let
// start-up go on), cannot be decoded or declares more than MaxPicturePixels
// gives a null image.
QImage loadPictureFile(const QString& path);
