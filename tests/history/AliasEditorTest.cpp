#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "chart/Chart.h"
#include "history/Form1.h"
#include "platform/Gbk.h"
#include "support/FileBytes.h"
#include "support/HistoryDriver.h"
#include "support/WindowDriver.h"

namespace {

// "修改" stores the alias in DevName.dat at once, retitles the channel's
// curve but not its row or lists, and the alias names that channel of any
// file opened later, after a restart too.
TEST(AliasEditor, StoredAliasTitlesTheChannelFromThenOn)
{
    HistoryDriver w;
    widget<QAction>(w.form(), "N2")->trigger();
    EXPECT_TRUE(widget<QFrame>(w.form(), "Panel1")->isVisibleTo(&w.form()));
    w.open(w.write("a.nx", {.channels = 5, .records = 2}));
    w.chooseAliasChannel(3);
    EXPECT_EQ(widget<QLineEdit>(w.form(), "MaskEditChName")->text(), QString()) << "a record of zeros is no alias";
    widget<QLineEdit>(w.form(), "MaskEditChName")->setText(QStringLiteral("出口压力"));
    widget<QPushButton>(w.form(), "btModChName")->click();

    const std::string file = readFileBytes(w.dir.file("DevName.dat"));
    ASSERT_EQ(file.size(), 10240u);
    const std::string alias = toGbk(QStringLiteral("出口压力")).toStdString();
    EXPECT_EQ(file.substr(240, 80), alias + std::string(80 - alias.size(), '\0'));
    EXPECT_EQ(file.substr(0, 240), std::string(240, '\0'));
    EXPECT_EQ(w.chart().series(3).title(), QStringLiteral("出口压力"));
    EXPECT_EQ(widget<QComboBox>(w.form(), "ComboBoxChName")->itemText(3), channelName(3));
    widget<QPushButton>(w.form(), "btModChNameExit")->click();
    EXPECT_FALSE(widget<QFrame>(w.form(), "Panel1")->isVisibleTo(&w.form()));

    w.restart();
    w.open(w.write("b.nx", {.channels = 4, .records = 2}));
    EXPECT_EQ(w.chart().series(3).title(), QStringLiteral("出口压力"));
    w.chooseAliasChannel(3);
    EXPECT_EQ(widget<QLineEdit>(w.form(), "MaskEditChName")->text(), QStringLiteral("出口压力"));
}

// Record 1 holds 78 bytes of whole characters and then a character whose
// trail byte is the record's 80th, which is no part of the alias: the title
// ends before that character, and the file keeps its bytes.
TEST(AliasEditor, AliasCutInsideACharacterEndsAtTheLastWholeOne)
{
    HistoryDriver w;
    const QString whole = QString(38, u'温') + QStringLiteral("ab");
    std::string table(10240, '\0');
    table.replace(80, 80, toGbk(whole + u'温').toStdString());
    writeFileBytes(w.dir.file("DevName.dat"), table);
    w.restart();
    w.open(w.write("a.nx", {.channels = 2, .records = 2}));
    EXPECT_EQ(w.chart().series(1).title(), whole);
    EXPECT_EQ(readFileBytes(w.dir.file("DevName.dat")), table);
}

TEST(AliasEditor, AliasIsAtMost22Characters)
{
    HistoryDriver w;
    w.open(w.write("a.nx", {.channels = 2, .records = 1}));
    w.chooseAliasChannel(1);
    widget<QLineEdit>(w.form(), "MaskEditChName")->setText(QString(30, u'温'));
    widget<QPushButton>(w.form(), "btModChName")->click();
    EXPECT_EQ(w.chart().series(1).title(), QString(22, u'温'));
    const std::string alias = toGbk(QString(22, u'温')).toStdString();
    EXPECT_EQ(readFileBytes(w.dir.file("DevName.dat")).substr(80, 80), alias + std::string(80 - alias.size(), '\0'));
}

// A DevName.dat that cannot be written leaves the aliases in memory and says
// so; one that can be neither read nor made leaves them all empty.
TEST(AliasEditor, UnwritableFileIsReported)
{
    HistoryDriver w;
    w.open(w.write("a.nx", {.channels = 2, .records = 1}));
    std::filesystem::remove(w.dir.file("DevName.dat"));
    std::filesystem::create_directory(w.dir.file("DevName.dat"));
    w.chooseAliasChannel(0);
    widget<QLineEdit>(w.form(), "MaskEditChName")->setText(QStringLiteral("进口"));
    widget<QPushButton>(w.form(), "btModChName")->click();
    EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("无法写入 DevName.dat")});
    EXPECT_EQ(w.chart().series(0).title(), QStringLiteral("进口"));

    std::filesystem::remove(w.dir.file("DevName.dat"));
    std::filesystem::create_symlink("missing/DevName.dat", w.dir.file("DevName.dat"));
    w.restart();
    w.open(w.write("b.nx", {.channels = 2, .records = 1}));
    EXPECT_EQ(w.chart().series(0).title(), QString());
    w.chooseAliasChannel(0);
    EXPECT_EQ(widget<QLineEdit>(w.form(), "MaskEditChName")->text(), QString());
}

} // namespace
