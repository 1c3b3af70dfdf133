#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>

#include "station/core/AlarmRecordFile.h"
#include "support/FileBytes.h"
#include "support/FullDisk.h"

namespace {

// The heading row in GBK: 设备名, 通道名, 报警类型, 开始时间, 结束时间.
const AlarmRecordCells Headings{"\xc9\xe8\xb1\xb8\xc3\xfb", "\xcd\xa8\xb5\xc0\xc3\xfb",
                                "\xb1\xa8\xbe\xaf\xc0\xe0\xd0\xcd", "\xbf\xaa\xca\xbc\xca\xb1\xbc\xe4",
                                "\xbd\xe1\xca\xf8\xca\xb1\xbc\xe4"};
const AlarmRecordCells OpenLa{"D1", "CH1", "LA", "18-10-18 09:05:04", ""};
const AlarmRecordCells ClosedLa{"D1", "CH1", "LA", "18-10-18 09:05:04", "18-10-18 09:06:10"};

// A 150-byte row laid out by hand from field offsets.
std::string row(std::initializer_list<std::pair<std::size_t, std::string>> parts)
{
    std::string bytes(150, '\0');
    for (const auto& [offset, text] : parts)
        bytes.replace(offset, text.size(), text);
    return bytes;
}

const std::string HeadingBytes = row({{0, Headings[0] + "\t"}, {40, Headings[1] + "\t"},
                                      {80, Headings[2] + "\t"}, {90, Headings[3] + "\t"},
                                      {120, Headings[4] + "\n"}});
const std::string OpenLaBytes = row({{0, "D1\t"}, {40, "CH1\t"}, {80, "LA\t"},
                                     {90, "18-10-18 09:05:04\t"}, {120, "\n"}});
const std::string ClosedLaBytes = row({{0, "D1\t"}, {40, "CH1\t"}, {80, "LA\t"},
                                       {90, "18-10-18 09:05:04\t"}, {120, "18-10-18 09:06:10\n"}});

class AlarmRecordFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path = dir.filePath("18日09时05分03秒.xls").toStdString();
    AlarmRecordFile file;
};

TEST_F(AlarmRecordFileTest, NewPeriodHoldsOnlyTheHeadingRow)
{
    file.create(path);
    file.writeRow(0, Headings);
    EXPECT_EQ(readFileBytes(path), HeadingBytes);
    EXPECT_EQ(HeadingBytes.substr(6, 1), "\t");
    EXPECT_EQ(HeadingBytes.substr(128, 1), "\n");
}

// A period begun in the second of an earlier one, or at a time the clock
// shows again after it was set back, takes the earlier file's name: the name
// then holds the new period's rows alone.
TEST_F(AlarmRecordFileTest, FileAlreadyUnderTheNameIsReplaced)
{
    const std::string moreRows = HeadingBytes + OpenLaBytes + OpenLaBytes;
    for (const std::string& earlier : {moreRows, moreRows.substr(0, 70)}) {
        SCOPED_TRACE(earlier.size());
        writeFileBytes(path, earlier);
        AlarmRecordFile period;
        period.create(path);
        period.writeRow(0, Headings);
        EXPECT_EQ(readFileBytes(path), HeadingBytes);
        period.writeRow(1, OpenLa);
        period.writeRow(1, ClosedLa);
        EXPECT_EQ(readFileBytes(path), HeadingBytes + ClosedLaBytes);
    }
}

// A file seen without its whole heading row is no alarm-record file.
TEST_F(AlarmRecordFileTest, HeadingCutShortByAFullDiskNeverShowsUnderItsName)
{
    for (const off_t room : {off_t(0), off_t(70)}) {
        SCOPED_TRACE(room);
        std::filesystem::remove(path);
        AlarmRecordFile period;
        FullDisk disk(room);
        period.create(path);
        period.writeRow(0, Headings);
        EXPECT_TRUE(std::filesystem::is_empty(dir.path().toStdString())) << "neither the file nor its unfinished heading";
        disk.free();
        period.writeMissedRows();
        EXPECT_EQ(readFileBytes(path), HeadingBytes);
    }
}

TEST_F(AlarmRecordFileTest, ClosingRewritesTheRowInItsPlace)
{
    file.create(path);
    file.writeRow(0, Headings);
    file.writeRow(1, OpenLa);
    EXPECT_EQ(readFileBytes(path), HeadingBytes + OpenLaBytes);

    file.writeRow(2, OpenLa);
    file.writeRow(1, ClosedLa);
    EXPECT_EQ(readFileBytes(path), HeadingBytes + ClosedLaBytes + OpenLaBytes);
}

TEST(AlarmRecordRow, TextsAreCutSoTheirSeparatorStaysInTheirField)
{
    const AlarmRecordRow r = makeAlarmRecordRow(
        {std::string(45, 'D'), std::string(40, 'C'), std::string(12, 'T'), std::string(30, 'S'), std::string(31, 'E')});
    const std::string bytes(reinterpret_cast<const char*>(&r), sizeof r);
    EXPECT_EQ(bytes, std::string(39, 'D') + "\t" + std::string(39, 'C') + "\t" + std::string(9, 'T') + "\t"
                         + std::string(29, 'S') + "\t" + std::string(29, 'E') + "\n");
}

TEST_F(AlarmRecordFileTest, RowsTheFileMissedAreWrittenWithTheNextRow)
{
    const std::filesystem::path folder = dir.filePath("18年10月").toStdString();
    const std::string inFolder = (folder / "a.xls").string();
    writeFileBytes(folder.string(), "");  // the month folder cannot be made, as on a full disk
    file.create(inFolder);
    file.writeRow(0, Headings);
    file.writeRow(1, OpenLa);
    EXPECT_FALSE(file.upToDate());

    std::filesystem::remove(folder);  // now it can: the file makes it
    file.writeRow(1, ClosedLa);
    file.writeRow(2, OpenLa);
    EXPECT_TRUE(file.upToDate());

    EXPECT_EQ(readFileBytes(inFolder), HeadingBytes + ClosedLaBytes + OpenLaBytes);

    std::filesystem::remove(inFolder);  // taken away during the period
    file.writeRow(3, OpenLa);
    EXPECT_EQ(readFileBytes(inFolder), HeadingBytes + ClosedLaBytes + OpenLaBytes + OpenLaBytes);
}

TEST_F(AlarmRecordFileTest, RowsAFullDiskRefusedArriveWhenItTakesWritesAgain)
{
    FullDisk disk;  // full from the start of the period
    file.create(path);
    file.writeRow(0, Headings);
    file.writeRow(1, OpenLa);
    EXPECT_EQ(readFileBytes(path), "");
    EXPECT_FALSE(file.upToDate());
    disk.free();
    file.writeMissedRows();  // the next tick, no alarm having changed
    EXPECT_EQ(readFileBytes(path), HeadingBytes + OpenLaBytes);
    file.writeRow(1, ClosedLa);
    EXPECT_EQ(readFileBytes(path), HeadingBytes + ClosedLaBytes);

    disk.fill(2 * 150 + 70);  // full in the middle of the next row
    file.writeRow(2, OpenLa);
    EXPECT_FALSE(file.upToDate());
    disk.free();
    file.writeMissedRows();
    EXPECT_EQ(readFileBytes(path), HeadingBytes + ClosedLaBytes + OpenLaBytes);
    EXPECT_TRUE(file.upToDate());
}

// Configuration mode stops the ticks: rows missed just before it get a last
// try when the next period begins, or when the station ends.
TEST_F(AlarmRecordFileTest, RowsTheFileMissedGetALastTryAsItsPeriodEnds)
{
    const std::string next = dir.filePath("next.xls").toStdString();
    for (const bool ending : {false, true}) {
        SCOPED_TRACE(ending ? "the station ends" : "a new period begins");
        std::filesystem::remove(path);
        {
            AlarmRecordFile last;
            FullDisk disk;
            last.create(path);
            last.writeRow(0, Headings);
            last.writeRow(1, OpenLa);
            disk.free();
            if (!ending)
                last.create(next);
        }
        EXPECT_EQ(readFileBytes(path), HeadingBytes + OpenLaBytes);
    }
}

}  // namespace
