#include <gtest/gtest.h>

#include <cstring>

#include "platform/Gbk.h"

namespace {

const QString DeviceName = QString::fromUtf8("设备1锅炉温度");
const QByteArray DeviceNameGbk("\xC9\xE8\xB1\xB8\x31\xB9\xF8\xC2\xAF\xCE\xC2\xB6\xC8");

TEST(Gbk, ConvertsBothWays)
{
    EXPECT_EQ(toGbk(DeviceName), DeviceNameGbk);
    EXPECT_EQ(fromGbk(DeviceNameGbk), DeviceName);
    EXPECT_EQ(toGbk(QString()), QByteArray());
}

TEST(Gbk, ReplacesWhatCannotBeConvertedAndGoesOn)
{
    EXPECT_EQ(toGbk(QString::fromUtf8("a😀b")), QByteArray("a?b"));
    EXPECT_EQ(fromGbk(QByteArray("a\xFF" "b")), QString::fromUtf8("a\uFFFDb"));
    // A lead byte cut off at the end of a text.
    EXPECT_EQ(fromGbk(QByteArray("\xC9\xE8\xB1")), QString::fromUtf8("设\uFFFD"));
}

TEST(Gbk, FieldIsReadUpToItsNulAndNeverPastItsSize)
{
    const char withNul[8] = {'\xC9', '\xE8', 0, 'x', 'x', 'x', 'x', 'x'};
    EXPECT_EQ(fromGbkField(withNul), QString::fromUtf8("设"));
    const char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(fromGbkField(full), QStringLiteral("abcd"));
}

TEST(Gbk, CopyIntoFieldCutsOnCharacterBoundariesAndKeepsTheRest)
{
    struct Case {
        QString text;
        std::size_t bytesKept;
    };
    const QString twentyChinese = QString::fromUtf8("设").repeated(20);  // 40 bytes
    const Case cases[] = {
        {twentyChinese, 38},                     // a 39th byte would split a character
        {QStringLiteral("a") + twentyChinese, 39},
        {QString(45, u'x'), 39},
        {QStringLiteral("CH_1"), 4},
        {QString(), 0},
    };
    for (const Case& c : cases) {
        char field[40];
        std::memset(field, 0x55, sizeof field);
        copyToField(field, c.text);
        const QByteArray gbk = toGbk(c.text);
        EXPECT_EQ(std::memcmp(field, gbk.constData(), c.bytesKept), 0) << c.text.toStdString();
        EXPECT_EQ(field[c.bytesKept], '\0');
        for (std::size_t i = c.bytesKept + 1; i < sizeof field; ++i)
            ASSERT_EQ(field[i], 0x55) << "byte " << i << " of " << c.text.toStdString();
    }
}

} // namespace
