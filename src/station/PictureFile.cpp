#include "station/PictureFile.h"

#include <QFileInfo>
#include <QImageReader>

#include "platform/JpegImage.h"

QImage loadPictureFile(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return loadJpeg(path);
    QImageReader reader(path);
    const QSize size = reader.size();
    if (qint64(size.width()) * size.height() > MaxPicturePixels)
        return {};
    return reader.read();
}
