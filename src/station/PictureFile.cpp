#include "station/PictureFile.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "platform/JpegImage.h"
#include "platform/RegularFile.h"

QImage loadPictureFile(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg"))
        return loadJpeg(path);
    std::FILE* stream = openRegularFile(path);
    QFile file;
    if (!stream || !file.open(stream, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return {};
    // Read from the file checked above, so its format comes from its content.
    QImageReader reader(&file);
    const QSize size = reader.size();
    if (qint64(size.width()) * size.height() > MaxPicturePixels)
        return {};
    return reader.read();
}
