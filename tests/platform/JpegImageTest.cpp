#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cstdlib>

#include "platform/JpegImage.h"
#include "support/HugePictures.h"

namespace {

bool near(QRgb pixel, QColor expected)
{
    const int tolerance = 24;
    return std::abs(qRed(pixel) - expected.red()) < tolerance && std::abs(qGreen(pixel) - expected.green()) < tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) < tolerance;
}

class JpegImageTest : public ::testing::Test {
protected:
    QString file(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    // A 16 x 8 picture, left half one colour and right half another, written
    // by Qt's own JPEG writer.
    QString makeJpeg(const char* name, QImage::Format format, QColor left, QColor right) const
    {
        QImage image(16, 8, format);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 16; ++x)
                image.setPixelColor(x, y, x < 8 ? left : right);
        const QString path = file(name);
        EXPECT_TRUE(image.save(path, "JPG", 100));
        return path;
    }

    QTemporaryDir dir;
};

TEST_F(JpegImageTest, DecodesColourAndGreyPictures)
{
    const QImage colour = loadJpeg(makeJpeg("流程图.jpg", QImage::Format_RGB32, Qt::red, Qt::blue));
    ASSERT_EQ(colour.size(), QSize(16, 8));
    EXPECT_TRUE(near(colour.pixel(2, 4), Qt::red));
    EXPECT_TRUE(near(colour.pixel(13, 4), Qt::blue));

    const QColor dark(60, 60, 60), light(200, 200, 200);
    const QImage grey = loadJpeg(makeJpeg("grey.jpeg", QImage::Format_Grayscale8, dark, light));
    ASSERT_EQ(grey.size(), QSize(16, 8));
    EXPECT_TRUE(near(grey.pixel(2, 4), dark));
    EXPECT_TRUE(near(grey.pixel(13, 4), light));
}

TEST_F(JpegImageTest, UnreadableFilesGiveAnEmptyImage)
{
    QFile whole(makeJpeg("whole.jpg", QImage::Format_RGB32, Qt::red, Qt::blue));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();

    const std::pair<const char*, QByteArray> files[] = {
        {"empty.jpg", QByteArray()},
        {"text.jpg", QByteArray("not a picture at all")},
        {"header-cut.jpg", bytes.left(20)},
    };
    for (const auto& [name, content] : files) {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        EXPECT_TRUE(loadJpeg(file(name)).isNull()) << name;
    }
    EXPECT_TRUE(loadJpeg(file("missing.jpg")).isNull());
}

TEST_F(JpegImageTest, PictureDeclaringMoreThan64MegapixelsIsRefused)
{
    // A few hundred bytes each; the first would take 16 GB if it were decoded.
    const QSize declared[] = {{65500, 65500}, {8000, 8001}};
    for (const QSize& size : declared) {
        QFile huge(file("huge.jpg"));
        ASSERT_TRUE(huge.open(QIODevice::WriteOnly | QIODevice::Truncate));
        huge.write(jpegDeclaring(size.width(), size.height()));
        huge.close();
        EXPECT_TRUE(loadJpeg(file("huge.jpg")).isNull()) << size.width() << " x " << size.height();
    }
}

} // namespace
