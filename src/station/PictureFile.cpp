#include "station/PictureFile.h"

#include <QFileInfo>

#include "platform/JpegImage.h"

QImage loadPictureFile(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return loadJpeg(path);
    return QImage(path);
}
