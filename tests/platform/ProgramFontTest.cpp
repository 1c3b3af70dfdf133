#include <gtest/gtest.h>

#include <QApplication>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QRawFont>
#include <QTextLayout>

#include "platform/Application.h"
#include "platform/Gbk.h"
#include "platform/ProgramFont.h"
#include "support/ProgramApp.h"

namespace {

// Every symbol a unit may hold.
const QString UnitSymbols = QStringLiteral("℃‰№㎡㎎㎏㎜㎝㎞㏄Ωμ°±");

QImage drawnAlone(const QGlyphRun& run, const QFont& font)
{
    const QFontMetrics metrics(font);
    QImage image(metrics.height() * 3, metrics.height() * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawGlyphRun(QPointF(metrics.height(), metrics.height() / 2), run);
    return image;
}

bool hasInk(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255))
                return true;
    return false;
}

// A character drawn by a fallback font depends on what else a machine has;
// one drawn blank or as the missing-glyph box is not seen at all.
bool drawnVisiblyByTheFontItself(const QFont& font, QChar character)
{
    QTextLayout layout(QString(character), font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() != 1 || runs[0].rawFont().familyName() != QRawFont::fromFont(font).familyName())
        return false;
    QGlyphRun missingBox = runs[0];
    missingBox.setGlyphIndexes(QList<quint32>(runs[0].glyphIndexes().size(), 0));
    const QImage drawn = drawnAlone(runs[0], font);
    return hasInk(drawn) && drawn != drawnAlone(missingBox, font);
}

QString notDrawnVisiblyByTheFontItself(const QFont& font, const QString& text)
{
    QString missed;
    for (QChar character : text)
        if (!drawnVisiblyByTheFontItself(font, character))
            missed += character;
    return missed;
}

// Every character of GB2312, its symbol rows and its hanzi: what the
// programs' own texts are written in.
QString gb2312Characters()
{
    QString characters;
    for (int lead = 0xA1; lead <= 0xF7; ++lead)
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
            const char code[] = {char(lead), char(trail)};
            const QString c = fromGbk(QByteArray(code, 2));
            if (c.size() == 1 && c[0] != QChar::ReplacementCharacter && !c[0].isSpace()
                && c[0].category() != QChar::Other_PrivateUse)
                characters += c;
        }
    return characters;
}

QFont sized(QFont font, int pointSize, bool bold)
{
    if (pointSize > 0)
        font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

TEST(ProgramFont, EveryUnitSymbolIsDrawnInEachSizeAndWeightTheProgramsUse)
{
    programApp();
    const QFont application = QApplication::font();
    ASSERT_EQ(QRawFont::fromFont(application).familyName(), programFontFamily()) << "not installed by scripts/setup?";
    const struct {
        const char* where;
        QFont font;
    } cases[] = {
        {"station forms, grids and edits", application},
        {"overview panel title", sized(application, 12, true)},
        {"overview panel value", sized(application, 28, true)},
        {"overview panel unit and alarm", sized(application, 10, true)},
        {"station clock", sized(application, 20, true)},
        {"station curve title", sized(programFont(24), 0, true)},
        {"history forms", programFont(11)},
        {"history chart title", programFont(12)},
        {"history chart legend", programFont(9)},
        {"history channel edits", sized(programFont(11), 10, true)},
    };
    for (const auto& c : cases) {
        const QString missed = notDrawnVisiblyByTheFontItself(c.font, UnitSymbols + QStringLiteral("温度"));
        EXPECT_TRUE(missed.isEmpty()) << c.where << ": " << missed.toStdString();
    }
}

TEST(ProgramFont, EveryChineseCharacterIsDrawn)
{
    programApp();
    const QString characters = gb2312Characters();
    ASSERT_GT(characters.size(), 7000);
    const QString missed = notDrawnVisiblyByTheFontItself(QApplication::font(), characters);
    EXPECT_TRUE(missed.isEmpty()) << missed.toStdString();
}

} // namespace
