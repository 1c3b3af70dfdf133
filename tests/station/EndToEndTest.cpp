#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <regex>
#include <thread>

#include "platform/Gbk.h"
#include "shared/HistoryFile.h"
#include "station/ConfigFile.h"
#include "support/ChildProcess.h"
#include "support/Devsim.h"
#include "support/FileBytes.h"
#include "support/WorkDir.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Devices as the simulator answers them: register r of slave a holds 100 * a + r.
void addDevice(DeviceTable& table, const char* name, int address, bool ethernet, int tcpPort, int decimals,
               int interval)
{
    MeterRecord& m = table.MeterRecords[table.MeterCount++];
    copyToField(m.MeterName, name);
    m.MeterAddr = static_cast<std::uint8_t>(address);
    m.ChannelNum = 2;
    m.CommMod = ethernet ? 1 : 0;
    m.PreRecordTime = interval;
    m.IPPort = tcpPort;
    copyToField(m.IPAddr, "127.0.0.1");
    for (int j = 0; j < 2; ++j) {
        ChannelRecord& c = m.Channels[j];
        c.ChannelPoin = static_cast<std::uint8_t>(decimals);
        c.ChannelLLA = -1000;
        c.ChannelLA = -500;
        c.ChannelHA = 1000;
        c.ChannelHHA = 2000;
        copyToField(c.ChannelName, QString(QChar('A' + j)));
    }
}

// The one file with the extension under the base directory, or "".
std::string findFile(const std::string& root, const std::string& extensionOrName)
{
    std::error_code error;
    for (const auto& entry : fs::recursive_directory_iterator(root, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && name.size() >= extensionOrName.size()
            && name.compare(name.size() - extensionOrName.size(), std::string::npos, extensionOrName) == 0)
            return entry.path().string();
    }
    return {};
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        result.push_back(text.substr(start, end - start + 1));
    return result;
}

// Norvik on a pty device (D1, COM1) and a TCP device (D2), run for a few
// seconds, then its files read back.
TEST(EndToEnd, StationWritesHistoryAlarmRecordsAndLogs)
{
    WorkDir dir;
    auto serial = Devsim::onPty(comLink(1), {"--address", "1"});
    auto tcp = Devsim::onTcp({"--address", "2"});

    auto table = std::make_unique<DeviceTable>();
    addDevice(*table, "D1", 1, false, 0, 1, 1);        // 10.0, 10.1
    addDevice(*table, "D2", 2, true, tcp->port(), 0, 2);  // 200, 201
    table->MeterRecords[0].Channels[1].ChannelHA = 10.05f;  // 10.1 is beyond it
    const QString config = ConfigFile::pathIn(QString::fromStdString(dir.path()));
    QString password;
    std::int32_t count = 0;
    ASSERT_NE(ConfigFile::createWithDefaults(config, count, password), ConfigFile::Creation::Failed);
    ASSERT_TRUE(ConfigFile::saveMeterConfig(config, *table));

    {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        ChildProcess norvik({NORVIK_PATH});
        // Until both logs hold a line of values; bounded, the machine may be loaded.
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        auto logged = [&](const char* file, const char* values) {
            const std::string path = findFile(dir.path(), file);
            return !path.empty() && readFileBytes(path).find(values) != std::string::npos;
        };
        while (!(logged("D1_0.xls", "\t10\t10.1\t\n") && logged("D2_1.xls", "\t200\t201\t\n"))
               && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(200ms);
        std::this_thread::sleep_for(1500ms);  // a few more records
    }

    // History: header of both devices' channels, whole records of 4 values.
    const std::string history = readFileBytes(findFile(dir.path(), ".nx"));
    ASSERT_GE(history.size(), HistoryHeaderSize);
    HistoryFileHeader header;
    std::memcpy(&header, history.data(), sizeof header);
    EXPECT_EQ(header.RecordInterval, 1);
    ASSERT_EQ(header.ChannelCount, 4);
    EXPECT_STREQ(header.ChannelNames[0], "D1A");
    EXPECT_STREQ(header.ChannelNames[3], "D2B");
    EXPECT_EQ(header.ChannelNames[4][0], '\0');
    const std::uint64_t records = historyRecordCount(history.size(), 4);
    ASSERT_GE(records, 2u);
    EXPECT_EQ(history.size(), HistoryHeaderSize + records * 16);
    float last[4];
    std::memcpy(last, history.data() + history.size() - sizeof last, sizeof last);
    const float expected[4] = {10.0f, 10.1f, 200.0f, 201.0f};
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(last[i], expected[i], 1e-4) << "channel " << i;

    // Alarm records: the heading row, then D1's channel B open at level HA.
    const std::string alarms = readFileBytes(findFile(dir.path(), "秒.xls"));
    ASSERT_EQ(alarms.size(), 300u);
    EXPECT_EQ(alarms.substr(0, 7), toGbk("设备名\t").toStdString());
    const std::string row = alarms.substr(150);
    EXPECT_EQ(row.substr(0, 3), std::string("D1\t"));
    EXPECT_EQ(row.substr(40, 2), std::string("B\t"));
    EXPECT_EQ(row.substr(80, 3), std::string("HA\t"));
    EXPECT_TRUE(std::regex_match(row.substr(90, 18), std::regex(R"(\d\d-\d\d-\d\d \d\d:\d\d:\d\d\t)")));
    EXPECT_EQ(row.substr(120, 1), "\n");
    EXPECT_EQ(row.substr(121), std::string(29, '\0'));

    // Logs: heading, then lines of values (ERR until the first good poll).
    const std::vector<std::string> log = lines(readFileBytes(findFile(dir.path(), "D1_0.xls")));
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], toGbk("时间\tA\tB\t\n").toStdString());
    const std::regex line(R"(  \d\d:\d\d:\d\d\t(ERR\tERR|10\t10\.1)\t\n)");
    for (std::size_t i = 1; i < log.size(); ++i)
        EXPECT_TRUE(std::regex_match(log[i], line)) << log[i];
    EXPECT_EQ(log.back().substr(10), "\t10\t10.1\t\n");
}

}  // namespace
