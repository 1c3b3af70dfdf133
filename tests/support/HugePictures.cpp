#include "support/HugePictures.h"

#include <QBuffer>
#include <QImage>
#include <QtEndian>

namespace {

template <typename T>
void append(QByteArray& bytes, T value)
{
    const T little = qToLittleEndian(value);
    bytes.append(reinterpret_cast<const char*>(&little), sizeof little);
}

void putBigEndian16(QByteArray& bytes, qsizetype at, int value)
{
    bytes[at] = char(value >> 8);
    bytes[at + 1] = char(value & 0xFF);
}

}  // namespace

QByteArray jpegDeclaring(int width, int height)
{
    QImage picture(16, 8, QImage::Format_RGB32);
    picture.fill(Qt::gray);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "JPG");
    QByteArray bytes = buffer.data();
    // The start-of-frame segment: marker, length, precision, height, width.
    const qsizetype frame = bytes.indexOf(QByteArray("\xff\xc0", 2));
    if (frame >= 0) {
        putBigEndian16(bytes, frame + 5, height);
        putBigEndian16(bytes, frame + 7, width);
    }
    return bytes;
}

QByteArray rleBmpDeclaring(int width, int height)
{
    constexpr quint32 fileHeaderSize = 14, infoSize = 40, paletteSize = 2 * 4;
    const QByteArray data("\x00\x01", 2);  // end of bitmap
    const quint32 dataOffset = fileHeaderSize + infoSize + paletteSize;
    QByteArray bytes("BM");
    append<quint32>(bytes, dataOffset + quint32(data.size()));
    append<quint32>(bytes, 0);
    append<quint32>(bytes, dataOffset);
    append<quint32>(bytes, infoSize);
    append<qint32>(bytes, width);
    append<qint32>(bytes, height);
    append<quint16>(bytes, 1);   // planes
    append<quint16>(bytes, 8);   // bits per pixel
    append<quint32>(bytes, 1);   // BI_RLE8
    append<quint32>(bytes, quint32(data.size()));
    append<qint32>(bytes, 2835);
    append<qint32>(bytes, 2835);
    append<quint32>(bytes, 2);   // colours used
    append<quint32>(bytes, 0);
    append<quint32>(bytes, 0x00000000);  // black
    append<quint32>(bytes, 0x00FFFFFF);  // white
    return bytes + data;
}
