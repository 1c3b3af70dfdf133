#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstring>
#include <filesystem>

#include "station/core/MeterLog.h"
#include "support/FileBytes.h"

namespace {

namespace fs = std::filesystem;

const char Boiler1[] = "\xb9\xf8\xc2\xaf" "1";  // 锅炉1 in GBK
const char TimeHeading[] = "\xca\xb1\xbc\xe4";  // 时间

MeterRecord boiler(std::vector<float> values, bool online = true)
{
    MeterRecord m;
    std::strcpy(m.MeterName, Boiler1);
    m.ChannelNum = static_cast<std::uint8_t>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        m.Channels[i].ChannelName[0] = static_cast<char>('A' + i);
        m.ChannelValues[i] = values[i];
    }
    m.Online = online ? 1 : 0;
    return m;
}

class MeterLogTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string base = dir.path().toStdString();
};

TEST_F(MeterLogTest, FirstLineOfTheHalfDayCreatesTheFileWithItsHeading)
{
    const MeterRecord online = boiler({1.5f, 2.0f, -0.3f});
    const TDateTime t = EncodeDateTime(2018, 10, 18, 9, 5, 4);
    const std::string path = makeMeterLogPath(base, t, online, 0);
    EXPECT_EQ(path, base + "/18年10月/18日AM/锅炉1_0.xls");

    ASSERT_TRUE(appendMeterLogLine(path, online, t));
    ASSERT_TRUE(appendMeterLogLine(path, boiler({1.5f, 2.0f, -0.3f}, false), t + 1 / SecondsPerDay));
    EXPECT_EQ(readFileBytes(path), std::string(TimeHeading) + "\tA\tB\tC\t\n"
                                       "  09:05:04\t1.5\t2\t-0.3\t\n"
                                       "  09:05:05\tERR\tERR\tERR\t\n");
}

TEST_F(MeterLogTest, NoonAndMidnightStartNewHalfDayFiles)
{
    const MeterRecord m = boiler({1});
    struct {
        TDateTime t;
        const char* halfDay;
    } cases[] = {
        {EncodeDateTime(2018, 10, 18, 11, 59, 59), "18年10月/18日AM"},
        {EncodeDateTime(2018, 10, 18, 12, 0, 0), "18年10月/18日PM"},
        {EncodeDateTime(2018, 10, 31, 23, 59, 59), "18年10月/31日PM"},
        {EncodeDateTime(2018, 11, 1, 0, 0, 0), "18年11月/01日AM"},
    };
    for (const auto& c : cases) {
        const std::string path = makeMeterLogPath(base, c.t, m, 7);
        EXPECT_EQ(path, base + "/" + c.halfDay + "/锅炉1_7.xls");
        ASSERT_TRUE(appendMeterLogLine(path, m, c.t));
        EXPECT_EQ(readFileBytes(path).substr(0, 4), TimeHeading) << c.halfDay;
    }
    EXPECT_EQ(readFileBytes(base + "/18年10月/18日PM/锅炉1_7.xls"),
              std::string(TimeHeading) + "\tA\t\n  12:00:00\t1\t\n");
}

TEST_F(MeterLogTest, ValuesInTheOverviewsGeneralFormat)
{
    const MeterRecord m = boiler({123456.7f, 12345.0f, 0.000001f, 3.14159f});
    const TDateTime t = EncodeDateTime(2018, 10, 18, 21, 0, 0);
    const std::string path = makeMeterLogPath(base, t, m, 0);
    ASSERT_TRUE(appendMeterLogLine(path, m, t));
    const std::string text = readFileBytes(path);
    EXPECT_EQ(text.substr(text.find("  21:00:00")), "  21:00:00\t1.2346E005\t12345\t1E-006\t3.1416\t\n");
}

TEST_F(MeterLogTest, DeviceNamesStayInsideTheHalfDayFolder)
{
    const struct {
        QString name;
        std::string filePart;
    } cases[] = {
        {"锅炉1", "锅炉1"},
        {"../../etc/x", "______etc_x"},
        {"a\\b", "a_b"},
        {"tab\there\n", "tab_here_"},
        {"..", "__"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(meterLogFileNamePart(c.name), c.filePart) << c.name.toStdString();

    MeterRecord m = boiler({1});
    std::strcpy(m.MeterName, "../../x");
    const TDateTime t = EncodeDateTime(2018, 10, 18, 9, 0, 0);
    const fs::path path = makeMeterLogPath(base, t, m, 3);
    EXPECT_EQ(path.parent_path(), fs::path(base + "/18年10月/18日AM"));
    EXPECT_EQ(path.filename(), "______x_3.xls");
}

TEST_F(MeterLogTest, UnwritableLineIsReportedAndTheNextOneTriesAgain)
{
    const MeterRecord m = boiler({1});
    const TDateTime t = EncodeDateTime(2018, 10, 18, 9, 0, 0);
    const std::string blocked = base + "/blocked";
    writeFileBytes(blocked, "a file where the base folder should be");

    const std::string path = makeMeterLogPath(blocked, t, m, 0);
    EXPECT_FALSE(appendMeterLogLine(path, m, t));
    EXPECT_FALSE(appendMeterLogLine("/dev/full", m, t));

    fs::remove(blocked);
    const std::string again = makeMeterLogPath(blocked, t, m, 0);
    ASSERT_TRUE(appendMeterLogLine(again, m, t));
    EXPECT_EQ(readFileBytes(again), std::string(TimeHeading) + "\tA\t\n  09:00:00\t1\t\n");
}

TEST(MeterLogTicks, LineDueEveryIntervalTicks)
{
    const struct {
        std::int32_t interval;
        std::vector<int> dueTicks;  // of ticks 1..12
    } cases[] = {
        {0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {-3, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {5, {5, 10}},
    };
    for (const auto& c : cases) {
        std::int32_t ticks = 0;
        std::vector<int> due;
        for (int tick = 1; tick <= 12; ++tick)
            if (takeMeterLogTick(ticks, c.interval))
                due.push_back(tick);
        EXPECT_EQ(due, c.dueTicks) << "interval " << c.interval;
    }
}

}  // namespace
