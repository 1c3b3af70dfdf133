#include <gtest/gtest.h>

#include <cstring>

#include "history/core/ChannelAliases.h"
#include "platform/Gbk.h"
#include "support/FileBytes.h"
#include "support/WorkDir.h"

namespace {

TEST(ChannelAliases, MissingFileIsCreatedAsZeros)
{
    WorkDir dir;
    ChannelAliasTable aliases;
    ASSERT_TRUE(aliases.loadOrCreate(dir.file("DevName.dat")));
    EXPECT_EQ(readFileBytes(dir.file("DevName.dat")), std::string(10240, '\0'));
    EXPECT_EQ(aliases.text(0), QString());
    EXPECT_FALSE(aliases.loadOrCreate(dir.file("no-such-folder/DevName.dat")));
}

// A short file fills the records it holds, a long one the whole table; a
// record without NUL in its first 79 bytes gives 79 bytes, never the 80th.
TEST(ChannelAliases, ReadsWhatTheFileHoldsUpToTheTable)
{
    WorkDir dir;
    std::string bytes(10240 + 80, '\0');
    std::memcpy(bytes.data() + 80, "pump", 4);
    bytes.replace(160, 80, std::string(80, 'x'));
    std::memcpy(bytes.data() + 10240, "beyond", 6);
    writeFileBytes(dir.file("long.dat"), bytes);
    writeFileBytes(dir.file("short.dat"), bytes.substr(0, 84));

    ChannelAliasTable whole, part;
    ASSERT_TRUE(whole.loadOrCreate(dir.file("long.dat")));
    ASSERT_TRUE(part.loadOrCreate(dir.file("short.dat")));
    EXPECT_EQ(whole.text(1), QStringLiteral("pump"));
    EXPECT_EQ(whole.text(2), QString(79, u'x'));
    EXPECT_EQ(part.text(1), QStringLiteral("pump"));
    EXPECT_EQ(part.text(2), QString());
    EXPECT_EQ(readFileBytes(dir.file("short.dat")).size(), 84u) << "reading never writes";
}

TEST(ChannelAliases, StoredTextIsCutOnACharacterAndZeroFilled)
{
    WorkDir dir;
    ChannelAliasTable aliases;
    ASSERT_TRUE(aliases.loadOrCreate(dir.file("DevName.dat")));
    std::memset(aliases.Records[3].Text, 'z', ChannelAliasSize);
    aliases.setText(3, QStringLiteral("出口压力"));
    const QString long79 = QString(39, u'温') + u'a';  // 79 bytes: fits whole
    const QString long80 = QString(40, u'温');         // 80 bytes: the last character goes
    aliases.setText(4, long79);
    aliases.setText(5, long80);
    ASSERT_TRUE(aliases.save(dir.file("DevName.dat")));

    const std::string file = readFileBytes(dir.file("DevName.dat"));
    ASSERT_EQ(file.size(), 10240u);
    const QByteArray gbk = toGbk(QStringLiteral("出口压力"));
    EXPECT_EQ(file.substr(240, 80), gbk.toStdString() + std::string(80 - std::size_t(gbk.size()), '\0'));
    EXPECT_EQ(aliases.text(4), long79);
    EXPECT_EQ(aliases.text(5), QString(39, u'温'));
    EXPECT_EQ(file[5 * 80 + 78], '\0');

    ChannelAliasTable missing;
    EXPECT_FALSE(missing.save(dir.file("gone.dat"))) << "a rewrite does not create the file";
}

} // namespace
