// Norvik itself, started in a fresh base directory with a made Config.dat,
// polling a simulated device on a pseudo-terminal (COM1) and one on loopback
// TCP, and texting its alarms to a simulated GSM module (COM3); stopped after
// a few seconds and its files read back. Bytes that are fixed are compared
// whole; times are checked against the run's clock.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>

#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "platform/SerialPort.h"
#include "shared/HistoryFile.h"
#include "support/AlarmRecordBytes.h"
#include "support/ChildProcess.h"
#include "support/DeviceSlots.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/FileBytes.h"
#include "support/StationConfig.h"
#include "support/WorkDir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

constexpr std::size_t AlarmRowSize = 150;

std::string gbk(const char* utf8)
{
    return toGbk(QString::fromUtf8(utf8)).toStdString();
}

std::string utf8(const QString& text)
{
    return text.toStdString();
}

// Two channels whose limits are far from the simulator's values
// (register r of slave a holds 100 * a + r) unless a test moves them.
MeterConfig simulatedDevice(const char* name, const char* (&channels)[2], int address, int decimals, int interval)
{
    MeterConfig m = namedDevice(QString::fromUtf8(name), {QString::fromUtf8(channels[0]), QString::fromUtf8(channels[1])});
    m.MeterAddr = std::uint8_t(address);
    m.PreRecordTime = interval;
    copyToField(m.IPAddr, QStringLiteral("127.0.0.1"));
    for (int j = 0; j < 2; ++j) {
        ChannelRecord& c = m.Channels[j];
        c.ChannelPoin = std::uint8_t(decimals);
        c.ChannelLLA = -1000;
        c.ChannelLA = -500;
        c.ChannelHA = 1000;
        c.ChannelHHA = 2000;
    }
    return m;
}

// Paths of the regular files under root, relative to it, in UTF-8.
std::vector<std::string> filesUnder(const std::string& root)
{
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root, error))
        if (entry.is_regular_file())
            files.push_back(fs::relative(entry.path(), root).string());
    return files;
}

std::string findFile(const std::vector<std::string>& files, const std::string& suffix)
{
    for (const std::string& f : files)
        if (f.size() >= suffix.size() && f.compare(f.size() - suffix.size(), suffix.size(), suffix) == 0)
            return f;
    return {};
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> result;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text.substr(start, end - start + 1));
    return result;
}

// The period's files are named after a clock reading a moment after its start.
bool namedAfter(const std::string& path, TDateTime start, const char* extension)
{
    for (int s = 0; s <= 2; ++s) {
        const TDateTime t = start + s / SecondsPerDay;
        if (path == utf8(FormatDateTime("YY'年'MM'月'", t) + "/" + FormatDateTime("DD'日'HH'时'NN'分'SS'秒'", t)) + extension)
            return true;
    }
    return false;
}

class EndToEnd : public testing::Test {
protected:
    // Runs Norvik until its files are as done() wants them, 30 s at most.
    void runStation(const std::function<bool()>& done)
    {
        startedAt = Now();
        {
            setenv("QT_QPA_PLATFORM", "offscreen", 0);
            ChildProcess norvik({NORVIK_PATH});
            EXPECT_TRUE(eventually(done, 30s, 200ms));
        }
        stoppedAt = Now();
        files = filesUnder(dir.path());
    }

    // The bytes of the file whose name ends so, or none while there is none.
    std::string contentOf(const std::string& suffix) const
    {
        const std::string path = findFile(filesUnder(dir.path()), suffix);
        return path.empty() ? std::string() : read(path);
    }

    std::string read(const std::string& relative) const { return readFileBytes(dir.file(relative)); }

    WorkDir dir;
    StationConfig config;
    TDateTime startedAt = 0, stoppedAt = 0;
    std::vector<std::string> files;
};

TEST_F(EndToEnd, StationWritesHistoryAlarmRecordsAndLogs)
{
    auto serial = Devsim::onPty(comLink(1), {"--address", "1"});
    auto tcp = Devsim::onTcp({"--address", "2"});

    const char* boilerChannels[2] = {"温度", "压力"};
    const char* tcpChannels[2] = {"A", "B"};
    MeterConfig& boiler = config.addDevice(simulatedDevice("锅炉1", boilerChannels, 1, 1, 1));  // 10.0, 10.1
    boiler.Channels[1].ChannelHA = 10.05f;
    MeterConfig& d2 = config.addDevice(simulatedDevice("D2", tcpChannels, 2, 0, 2));  // 200, 201
    d2.CommMod = 1;
    d2.IPPort = tcp->port();
    d2.Channels[0].ChannelLLA = 250;  // 200 is below both: two records in one tick
    d2.Channels[0].ChannelLA = 300;
    config.write(dir.path());
    const float polled[4] = {10.0f, 10.1f, 200.0f, 201.0f};
    const std::string polledRecord(reinterpret_cast<const char*>(polled), sizeof polled);

    // Until both logs hold a line of values, the alarm file its four rows and
    // the history file a second record, the last with every value.
    runStation([&] {
        const std::string history = contentOf(".nx");
        return contentOf("锅炉1_0.xls").find("\t10\t10.1\t\n") != std::string::npos
            && contentOf("D2_1.xls").find("\t200\t201\t\n") != std::string::npos
            && contentOf("秒.xls").size() >= 4 * AlarmRowSize && history.size() >= HistoryHeaderSize + 2 * sizeof polled
            && history.compare(history.size() - sizeof polled, sizeof polled, polledRecord) == 0;
    });

    // History: the header byte for byte but for its start time; whole
    // records, each value either not yet polled (0) or the device's.
    const std::string historyPath = findFile(files, ".nx");
    const std::string history = read(historyPath);
    ASSERT_GE(history.size(), HistoryHeaderSize);
    TDateTime historyStart = 0;
    std::memcpy(&historyStart, history.data(), sizeof historyStart);
    EXPECT_GE(historyStart, startedAt - 1 / SecondsPerDay);
    EXPECT_LE(historyStart, stoppedAt);
    EXPECT_TRUE(namedAfter(historyPath, historyStart, ".nx")) << historyPath;

    std::string header(HistoryHeaderSize, '\0');
    const std::int32_t interval = 1, channels = 4;
    std::memcpy(&header[8], &interval, 4);
    std::memcpy(&header[12], &channels, 4);
    const std::string names[4] = {gbk("锅炉1温度"), gbk("锅炉1压力"), "D2A", "D2B"};
    for (int i = 0; i < 4; ++i)
        header.replace(20 + 80 * i, names[i].size(), names[i]);
    EXPECT_TRUE(history.compare(8, HistoryHeaderSize - 8, header, 8, HistoryHeaderSize - 8) == 0);

    const std::uint64_t records = historyRecordCount(history.size(), 4);
    ASSERT_GE(records, 2u);
    EXPECT_EQ(history.size(), HistoryHeaderSize + records * 16) << "no partial record";
    EXPECT_LE(records, std::uint64_t((stoppedAt - historyStart) * SecondsPerDay) + 2) << "at most one per second";
    for (std::uint64_t r = 0; r < records; ++r) {
        float v[4];
        std::memcpy(v, history.data() + HistoryHeaderSize + r * 16, sizeof v);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(v[i] == 0 || v[i] == polled[i]) << "record " << r << ", channel " << i << ": " << v[i];
    }
    EXPECT_EQ(std::memcmp(history.data() + history.size() - sizeof polled, polled, sizeof polled), 0)
        << "the last record has every value";

    // Alarm records beside it: the heading row, then the three records, the
    // boiler's before or after D2's pair, which opens LLA first.
    const std::string alarmPath = findFile(files, "秒.xls");
    EXPECT_EQ(alarmPath, historyPath.substr(0, historyPath.size() - 3) + ".xls");
    const std::string alarms = read(alarmPath);
    ASSERT_EQ(alarms.size(), 4 * AlarmRowSize);
    const std::string headings[5] = {gbk("设备名"), gbk("通道名"), gbk("报警类型"), gbk("开始时间"), gbk("结束时间")};
    EXPECT_EQ(alarms.substr(0, AlarmRowSize), alarmRecordBytes(headings));

    const std::regex timeText(R"(\d\d-\d\d-\d\d \d\d:\d\d:\d\d)");
    const std::string firstTime = utf8(FormatDateTime("YY-MM-DD HH:NN:SS", historyStart));
    const std::string lastTime = utf8(FormatDateTime("YY-MM-DD HH:NN:SS", stoppedAt));
    std::string rows[3], starts[3];
    for (int r = 0; r < 3; ++r) {
        rows[r] = alarms.substr((r + 1) * AlarmRowSize, AlarmRowSize);
        starts[r] = rows[r].substr(90, 17);
        EXPECT_TRUE(std::regex_match(starts[r], timeText)) << starts[r];
        EXPECT_GE(starts[r], firstTime);
        EXPECT_LE(starts[r], lastTime);
    }
    // Row r as it must be, open, with its own start time.
    auto rowIs = [&](int r, const char* device, const char* channel, const char* type) {
        const std::string cells[5] = {gbk(device), gbk(channel), type, starts[r], ""};
        return rows[r] == alarmRecordBytes(cells);
    };
    const bool boilerFirst = rowIs(0, "锅炉1", "压力", "HA") && rowIs(1, "D2", "A", "LLA") && rowIs(2, "D2", "A", "LA");
    const bool boilerLast = rowIs(0, "D2", "A", "LLA") && rowIs(1, "D2", "A", "LA") && rowIs(2, "锅炉1", "压力", "HA");
    EXPECT_TRUE(boilerFirst || boilerLast);
    EXPECT_EQ(starts[boilerFirst ? 1 : 0], starts[boilerFirst ? 2 : 1]) << "LLA and LA open in one tick";

    // Logs in the half-day folder of the same month: heading, then a line per
    // due tick, "ERR" until the device's first good poll.
    struct LogCase {
        const char* file;
        std::string heading;
        const char* values;
    };
    const LogCase logs[] = {
        {"锅炉1_0.xls", gbk("时间\t温度\t压力\t\n"), "10\t10.1\t"},
        {"D2_1.xls", gbk("时间\tA\tB\t\n"), "200\t201\t"},
    };
    const std::string month = historyPath.substr(0, historyPath.find('/'));
    const std::regex halfDay(R"(\d\d日(AM|PM))");
    const std::regex clock(R"(\d\d:\d\d:\d\d)");
    for (const LogCase& c : logs) {
        SCOPED_TRACE(c.file);
        const std::string path = findFile(files, std::string("/") + c.file);
        ASSERT_FALSE(path.empty());
        const fs::path folders = fs::path(path).parent_path();
        EXPECT_EQ(folders.parent_path().string(), month);
        EXPECT_TRUE(std::regex_match(folders.filename().string(), halfDay)) << path;

        const std::vector<std::string> lines = splitLines(read(path));
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[0], c.heading);
        const std::string valueLine = std::string(c.values) + "\n";
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const std::string& line = lines[i];
            ASSERT_GT(line.size(), 11u) << line;
            EXPECT_EQ(line.substr(0, 2), "  ");
            EXPECT_TRUE(std::regex_match(line.substr(2, 8), clock)) << line;
            EXPECT_EQ(line[10], '\t');
            EXPECT_TRUE(line.substr(11) == valueLine || line.substr(11) == "ERR\tERR\t\n") << line;
        }
        EXPECT_EQ(lines.back().substr(11), valueLine);
    }
}

// The local time of a text, "YYYY-MM-DD HH:MM:SS.mmm" or "YY-MM-DD HH:NN:SS".
TDateTime parseTime(const std::string& text)
{
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0, ms = 0;
    std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d.%d", &y, &mo, &d, &h, &mi, &sec, &ms);
    return EncodeDateTime(y < 100 ? 2000 + y : y, mo, d, h, mi, sec, ms);
}

TEST_F(EndToEnd, StationTextsAnAlarmToTheGsmModule)
{
    auto serial = Devsim::onPty(comLink(1), {"--address", "1"});
    auto gsm = Devsim::gsmOnPty(comLink(3));
    const char* channels[2] = {"温度", "压力"};
    config.addDevice(simulatedDevice("锅炉1", channels, 1, 1, 3600)).Channels[1].ChannelHA = 10.05f;  // 10.1 is over it
    config.write(dir.path());
    constexpr int Delay = 3;
    writeFileBytes(dir.file("Res/GSM_Alarm.ini"), "[GSM]\r\nEnable=1\r\nCOM=2\r\nDelay=" + std::to_string(Delay) +
                                                      "\r\nText=" + gbk("温度超限") +
                                                      "\r\n[PhoneList]\r\nNum1=13800000001\r\nNum2=139\r\n");
    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ChildProcess norvik({NORVIK_PATH});
        ASSERT_TRUE(gsm->waitForMessages(1, 30s));
    }

    const GsmMessage message = gsm->messages()[0];
    EXPECT_EQ(message.text, "8613800000001:温度超限\n锅炉1--压力\t10.1\n\r\n");

    // Sent in the Delay-th tick of the alarm, the alarm row's start time
    // being the first tick's second.
    const std::string alarms = read(findFile(filesUnder(dir.path()), "秒.xls"));
    ASSERT_EQ(alarms.size(), 2 * AlarmRowSize);
    const double afterStart = (parseTime(message.arrival) - parseTime(alarms.substr(AlarmRowSize + 90, 17))) * SecondsPerDay;
    EXPECT_GE(afterStart, Delay - 1.5);
    EXPECT_LE(afterStart, Delay + 1.5);
}

// The station ends on SIGTERM (logout) and SIGINT (Ctrl-C) as it does when
// its main window closes: polling stopped, status 0, the history file whole.
class StopSignal : public EndToEnd, public testing::WithParamInterface<int> {};

TEST_P(StopSignal, EndsTheStationWithStatusZero)
{
    auto serial = Devsim::onPty(comLink(1));
    const char* channels[2] = {"A", "B"};
    config.addDevice(simulatedDevice("D1", channels, 1, 0, 1));
    config.write(dir.path());

    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ChildProcess norvik({NORVIK_PATH});
    ASSERT_TRUE(eventually([&] { return historyRecordCount(contentOf(".nx").size(), 2) >= 2; }, 30s));
    norvik.signal(GetParam());
    std::optional<int> status;
    ASSERT_TRUE(eventually([&] { return (status = norvik.waitStatus()).has_value(); }));
    EXPECT_TRUE(WIFEXITED(*status)) << "ended by the signal itself";
    EXPECT_EQ(WEXITSTATUS(*status), 0);

    const std::size_t size = contentOf(".nx").size();
    EXPECT_EQ((size - HistoryHeaderSize) % historyRecordSize(2), 0u) << "the last record is whole";
    // The line is the test's now; what the station sent is logged ahead of the marker.
    const PortHandle line = SerialOpen(comLink(1));
    ASSERT_TRUE(line.isOpen());
    ASSERT_TRUE(serial->markLine(line));
    const std::size_t serialRequests = serial->requests().size();
    EXPECT_TRUE(holdsFor([&] { return serial->requests().size() == serialRequests; }, 500ms))
        << "nothing polls any more";
    SerialClose(line);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignal, testing::Values(SIGTERM, SIGINT),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == SIGTERM ? "SIGTERM" : "SIGINT");
                         });

}  // namespace
