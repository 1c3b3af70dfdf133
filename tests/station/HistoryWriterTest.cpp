#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <filesystem>
#include <vector>

#include "station/HistoryWriter.h"
#include "support/FileBytes.h"

namespace {

const char Boiler1[] = "\xb9\xf8\xc2\xaf" "1";       // 锅炉1 in GBK
const char Temperature[] = "\xce\xc2\xb6\xc8";       // 温度
const char Pressure[] = "\xd1\xb9\xc1\xa6";          // 压力

struct Devices {
    MeterRecord meters[MaxMeters];
    int count = 0;

    MeterRecord& add(const char* name, std::vector<const char*> channels, int interval = 1)
    {
        MeterRecord& m = meters[count++];
        std::strcpy(m.MeterName, name);
        m.ChannelNum = static_cast<std::uint8_t>(channels.size());
        for (std::size_t j = 0; j < channels.size(); ++j)
            std::strcpy(m.Channels[j].ChannelName, channels[j]);
        m.PreRecordTime = interval;
        return m;
    }
};

template <typename T>
void put(std::string& bytes, std::size_t offset, T value)
{
    std::memcpy(&bytes[offset], &value, sizeof value);
}

std::string header(double start, std::int32_t interval, std::vector<std::string> names)
{
    std::string bytes(HistoryHeaderSize, '\0');
    put(bytes, 0, start);
    put(bytes, 8, interval);
    put(bytes, 12, static_cast<std::int32_t>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        bytes.replace(20 + i * 80, names[i].size(), names[i]);
    return bytes;
}

std::string floats(std::vector<float> values)
{
    return std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(float));
}

class HistoryFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path = dir.filePath("18日09时05分03秒.nx").toStdString();
    Devices devices;
};

TEST(RecordPeriodPaths, MonthFolderAndDayAndTimeName)
{
    const RecordPeriodPaths morning = recordPeriodPaths("/base", EncodeDateTime(2018, 10, 18, 9, 5, 3));
    EXPECT_EQ(morning.monthFolder, "/base/18年10月");
    EXPECT_EQ(morning.historyPath, "/base/18年10月/18日09时05分03秒.nx");
    EXPECT_EQ(morning.alarmPath, "/base/18年10月/18日09时05分03秒.xls");
    EXPECT_EQ(recordPeriodPaths("/base", EncodeDateTime(2009, 1, 2, 21, 7, 59)).historyPath,
              "/base/09年01月/02日21时07分59秒.nx");
}

TEST_F(HistoryFileTest, HeaderNamesEveryChannelInGlobalOrderThenZeros)
{
    devices.add(Boiler1, {Temperature, Pressure}, 5);
    devices.add("D2", {"CH1"}, 60);  // only slot 0's interval counts, passed in by the caller

    auto h = makeHistoryHeader(43391.378506944, 5, devices.meters, devices.count);
    ASSERT_TRUE(writeHistoryHeader(path, *h));

    const std::string expected = header(43391.378506944, 5,
        {std::string(Boiler1) + Temperature, std::string(Boiler1) + Pressure, "D2CH1"});
    EXPECT_EQ(readFileBytes(path), expected);
}

TEST_F(HistoryFileTest, OverlongNamesAreCutToLeaveTheirNul)
{
    MeterRecord& m = devices.add("", {""});
    std::memset(m.MeterName, 'M', sizeof m.MeterName);                      // no NUL at all
    std::memset(m.Channels[0].ChannelName, 'C', sizeof m.Channels[0].ChannelName);

    auto h = makeHistoryHeader(0, 1, devices.meters, devices.count);
    const std::string entry(h->ChannelNames[0], HistoryNameSize);
    EXPECT_EQ(entry, std::string(40, 'M') + std::string(39, 'C') + '\0');
}

TEST_F(HistoryFileTest, NoDevicesLeavesTheFileAtItsHeader)
{
    HistoryRecorder recorder;
    recorder.start(path, makeHistoryHeader(100.0, 1, devices.meters, 0));
    for (int tick = 1; tick <= 3; ++tick)
        recorder.recordIfDue(100.0 + tick / SecondsPerDay, nullptr, 0);

    EXPECT_EQ(readFileBytes(path), header(100.0, 1, {}));
}

TEST_F(HistoryFileTest, RecordIsWrittenOverAPartialOneAndNeverIntoAFileWithoutHeader)
{
    devices.add("D1", {"A", "B"});
    ASSERT_TRUE(writeHistoryHeader(path, *makeHistoryHeader(0, 1, devices.meters, devices.count)));
    const std::string withHeader = readFileBytes(path);

    // A full disk cut the second record short.
    writeFileBytes(path, withHeader + floats({1, 2}) + "\x11\x22\x33");
    const float row[] = {3, 4};
    ASSERT_TRUE(appendHistoryRecord(path, row, 2));
    EXPECT_EQ(readFileBytes(path), withHeader + floats({1, 2, 3, 4}));

    const std::string missing = dir.filePath("gone.nx").toStdString();
    EXPECT_FALSE(appendHistoryRecord(missing, row, 2));
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(HistoryFileTest, FailedWritesStayDueUntilTheFolderIsBack)
{
    devices.add("D1", {"A"});
    const std::filesystem::path folder = dir.filePath("18年10月").toStdString();
    const std::string inFolder = (folder / "18日09时05分03秒.nx").string();
    const double start = 1000.0;

    HistoryRecorder recorder;
    recorder.start(inFolder, makeHistoryHeader(start, 1, devices.meters, devices.count));
    const float first[] = {1};
    EXPECT_FALSE(recorder.recordIfDue(start + 1 / SecondsPerDay, first, 1));
    EXPECT_EQ(recorder.NextHistoryTime, start);

    std::filesystem::create_directory(folder);
    const float second[] = {2};
    EXPECT_TRUE(recorder.recordIfDue(start + 2 / SecondsPerDay, second, 1));
    EXPECT_EQ(readFileBytes(inFolder), header(start, 1, {"D1A"}) + floats({2}));
}

// Ticks at the given seconds after the start of the period, off the whole
// seconds as real ticks are; each tick's row holds the tick's own number, so
// the file shows which ticks wrote records.
struct TimingCase {
    const char* name;
    std::int32_t interval;
    std::vector<double> tickSeconds;
    std::vector<float> recordedTicks;
};

class HistoryTimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(HistoryTimingTest, OneDueRecordPerTickAtMost)
{
    const TimingCase& c = GetParam();
    QTemporaryDir dir;
    const std::string path = dir.filePath("h.nx").toStdString();
    Devices devices;
    devices.add("D1", {"A"}, c.interval);
    const double start = 43391.0;

    HistoryRecorder recorder;
    auto h = makeHistoryHeader(start, c.interval, devices.meters, devices.count);
    const std::string expectedHeader(reinterpret_cast<const char*>(h.get()), HistoryHeaderSize);
    recorder.start(path, std::move(h));
    for (std::size_t tick = 0; tick < c.tickSeconds.size(); ++tick) {
        const float row[] = {static_cast<float>(tick + 1)};
        recorder.recordIfDue(start + c.tickSeconds[tick] / SecondsPerDay, row, 1);
    }

    EXPECT_EQ(readFileBytes(path), expectedHeader + floats(c.recordedTicks));
}

// Ticks half a second after each whole second from..to.
std::vector<double> ticks(int from, int to, std::vector<double> before = {})
{
    for (int t = from; t <= to; ++t)
        before.push_back(t + 0.5);
    return before;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryTimingTest,
    ::testing::Values(
        TimingCase{"EveryTick", 1, ticks(1, 3), {1, 2, 3}},
        TimingCase{"NotAtTheStartItself", 1, {0, 1}, {2}},
        TimingCase{"EveryTenthTick", 10, ticks(1, 25), {1, 10, 20}},
        // The six records due at 10..60 during the stall come one per tick
        // after it, then the one due at 70, then one every ten ticks.
        TimingCase{"StallOfSixtySeconds", 10, ticks(65, 82, ticks(1, 5)),
                   {1, 6, 7, 8, 9, 10, 11, 12, 21}},
        TimingCase{"ClockSetBack", 5, {1.5, 2.5, -100, -50, 4.5, 5.5}, {1, 6}},
        TimingCase{"ClockSetForward", 5, ticks(30, 37, {1.5}), {1, 2, 3, 4, 5, 6, 7, 8}},
        TimingCase{"IntervalZero", 0, ticks(1, 20), {}},
        TimingCase{"NegativeInterval", -5, ticks(1, 20), {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
