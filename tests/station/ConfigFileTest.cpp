#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "platform/Gbk.h"
#include "station/core/ConfigFile.h"
#include "support/DeviceSlots.h"
#include "support/FileBytes.h"

namespace {

using namespace ConfigFile;

template <typename T>
std::string bytesOf(const T& value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// Every channel entry named and filled, the ones from the count on too.
MeterConfig device(const char* name, int channels)
{
    MeterConfig m = namedDevice(QString::fromUtf8(name), numberedNames("CH_", MaxChannels));
    m.MeterAddr = 1;
    m.ChannelNum = std::uint8_t(channels);
    m.CommStartReg = 0x1234;
    m.PreRecordTime = 5;
    m.Reserved[1] = 0xA5;  // carried along unchanged
    m.IPPort = 6000;
    copyToField(m.IPAddr, QStringLiteral("192.168.0.101"));
    for (int j = 0; j < MaxChannels; ++j) {
        m.Channels[j].ChannelPoin = std::uint8_t(j % 5);
        m.Channels[j].ChannelHA = 100.5f + float(j);
    }
    return m;
}

class ConfigFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::int32_t count = 0;
        QString password;
        ASSERT_EQ(createWithDefaults(path, count, password), Creation::Created);
    }
    std::string bytes() const { return readFileBytes(path.toStdString()); }
    void write(const std::string& b) const { writeFileBytes(path.toStdString(), b); }

    QTemporaryDir dir;
    const QString path = pathIn(dir.path());
    std::unique_ptr<DeviceTable> table = std::make_unique<DeviceTable>();
};

std::string defaultFile()
{
    std::string file(std::size_t(FileSize), '\0');
    file.replace(4, 6, "418263");
    return file;
}

TEST(ConfigFileCreation, FirstStartWritesTheDefaultFileOnce)
{
    QTemporaryDir dir;
    const QString path = pathIn(dir.path());
    std::int32_t count = 7;
    QString password = QStringLiteral("old");
    EXPECT_EQ(createWithDefaults(path, count, password), Creation::Created);
    EXPECT_EQ(readFileBytes(path.toStdString()), defaultFile());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(password, QStringLiteral("418263"));

    // A file that exists is used as it is, whatever it holds.
    writeFileBytes(path.toStdString(), "short");
    count = 3;
    EXPECT_EQ(createWithDefaults(path, count, password), Creation::Existing);
    EXPECT_EQ(readFileBytes(path.toStdString()), "short");
    EXPECT_EQ(count, 3);
}

TEST(ConfigFileCreation, WithoutAFileNothingLoadsAndEverySaveFails)
{
    QTemporaryDir dir;
    const QString path = pathIn(dir.filePath(QStringLiteral("missing-folder")));
    std::int32_t count = 9;
    QString password;
    EXPECT_EQ(createWithDefaults(path, count, password), Creation::Failed);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(password, QStringLiteral("418263"));

    auto table = std::make_unique<DeviceTable>();
    std::int32_t color = 5, bauds[MaxComPorts] = {3};
    float low = 1, high = 2;
    EXPECT_FALSE(loadMeterConfig(path, *table));
    EXPECT_FALSE(loadCurvesBackColor(path, color));
    EXPECT_FALSE(loadPassword(path, password));
    EXPECT_FALSE(loadPortBaudTable(path, bauds));
    EXPECT_FALSE(loadCurvesRange(path, low, high));
    EXPECT_EQ(table->MeterCount, 0);
    EXPECT_EQ(color, 5);
    EXPECT_EQ(password, QStringLiteral("418263"));
    EXPECT_EQ(bauds[0], 3);
    EXPECT_EQ(high, 2.0f);

    table->MeterCount = 1;
    EXPECT_FALSE(saveMeterConfig(path, *table));
    EXPECT_FALSE(saveCurvesBackColor(path, 1));
    EXPECT_FALSE(saveCurvesRange(path, 0, 1));
    EXPECT_FALSE(savePortBaudTable(path, bauds));
    EXPECT_FALSE(savePassword(path, QStringLiteral("1")));
    EXPECT_FALSE(QFile::exists(path)) << "a save never creates the file";
}

TEST_F(ConfigFileTest, EachSaveWritesOnlyItsOwnBytes)
{
    std::int32_t bauds[MaxComPorts] = {};
    bauds[0] = 7;
    bauds[39] = 3;
    const float range[2] = {-10.5f, 250.0f};
    struct Case {
        const char* name;
        std::function<bool()> save;
        std::size_t offset;
        std::string expected;
    };
    const Case cases[] = {
        {"colour", [&] { return saveCurvesBackColor(path, 0x00C0FFEE); }, 14, bytesOf(std::int32_t(0x00C0FFEE))},
        {"range", [&] { return saveCurvesRange(path, range[0], range[1]); }, 178, bytesOf(range)},
        {"bauds", [&] { return savePortBaudTable(path, bauds); }, 18, bytesOf(bauds)},
        {"password", [&] { return savePassword(path, QStringLiteral("12")); }, 4, std::string("12\0\0\0\0\0\0", 8)},
    };
    for (const Case& c : cases) {
        std::string expected = bytes();
        expected.replace(c.offset, c.expected.size(), c.expected);
        ASSERT_TRUE(c.save()) << c.name;
        EXPECT_EQ(bytes(), expected) << c.name;
    }
    EXPECT_EQ(bytes().size(), std::size_t(FileSize));
}

TEST_F(ConfigFileTest, FieldsReadBackAsSaved)
{
    std::int32_t bauds[MaxComPorts];
    for (int i = 0; i < MaxComPorts; ++i)
        bauds[i] = i % 8;
    ASSERT_TRUE(saveCurvesBackColor(path, -16777201));  // a system colour
    ASSERT_TRUE(saveCurvesRange(path, -0.5f, 1e6f));
    ASSERT_TRUE(savePortBaudTable(path, bauds));

    std::int32_t color = 0, readBauds[MaxComPorts] = {};
    float low = 0, high = 0;
    ASSERT_TRUE(loadCurvesBackColor(path, color));
    ASSERT_TRUE(loadCurvesRange(path, low, high));
    ASSERT_TRUE(loadPortBaudTable(path, readBauds));
    EXPECT_EQ(color, -16777201);
    EXPECT_EQ(low, -0.5f);
    EXPECT_EQ(high, 1e6f);
    EXPECT_EQ(std::memcmp(readBauds, bauds, sizeof bauds), 0);
}

TEST_F(ConfigFileTest, PasswordFieldIsPaddedWithNulAndReadUpToIt)
{
    const QString eightGbk = QString::fromUtf8("密码密码");  // exactly 8 bytes
    const struct {
        QString password;
        std::string field;
        QString readBack;
    } cases[] = {
        {QString(), std::string(8, '\0'), QString()},
        {QStringLiteral("654321"), std::string("654321\0\0", 8), QStringLiteral("654321")},
        {QStringLiteral("12345678"), "12345678", QStringLiteral("12345678")},
        {eightGbk, toGbk(eightGbk).toStdString(), eightGbk},
        // Too long: cut to 8 bytes without splitting a character.
        {QString::fromUtf8("a密码密码"), toGbk(QString::fromUtf8("a密码密")).toStdString() + '\0',
         QString::fromUtf8("a密码密")},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(savePassword(path, c.password));
        EXPECT_EQ(bytes().substr(4, 8), c.field) << c.password.toStdString();
        QString read = QStringLiteral("unchanged");
        ASSERT_TRUE(loadPassword(path, read));
        EXPECT_EQ(read, c.readBack);
    }
    EXPECT_EQ(bytes().substr(12, 2), std::string(2, '\0'));
}

TEST_F(ConfigFileTest, DeviceSlotsRoundTripByteForByte)
{
    table->MeterCount = 2;
    table->MeterRecords[0].config() = device("锅炉1", 3);
    table->MeterRecords[1].config() = device("锅炉2", 48);
    ASSERT_TRUE(saveMeterConfig(path, *table));

    const std::string file = bytes();
    EXPECT_EQ(file.substr(0, 4), bytesOf(std::int32_t(2)));
    EXPECT_EQ(file.substr(std::size_t(slotOffset(0)), sizeof(MeterConfig)), bytesOf(table->MeterRecords[0].config()));
    EXPECT_EQ(file.substr(std::size_t(slotOffset(1)), sizeof(MeterConfig)), bytesOf(table->MeterRecords[1].config()));
    EXPECT_EQ(slotOffset(119) + long(sizeof(MeterConfig)), FileSize);

    auto loaded = std::make_unique<DeviceTable>();
    loaded->MeterRecords[0].ChannelValues[2] = 42.0f;
    loaded->MeterRecords[0].Online = 1;
    ASSERT_TRUE(loadMeterConfig(path, *loaded));
    EXPECT_EQ(loaded->MeterCount, 2);
    for (int k = 0; k < 2; ++k)
        EXPECT_EQ(bytesOf(loaded->MeterRecords[k].config()), bytesOf(table->MeterRecords[k].config())) << k;
    EXPECT_EQ(loaded->MeterRecords[0].ChannelValues[2], 42.0f) << "run-time part untouched";
    EXPECT_EQ(loaded->MeterRecords[0].Online, 1);
}

TEST_F(ConfigFileTest, SavingFewerDevicesLeavesTheLaterSlotsAsTheyWere)
{
    table->MeterCount = 5;
    for (int k = 0; k < 5; ++k)
        table->MeterRecords[k].config() = device("D", k + 1);
    ASSERT_TRUE(saveMeterConfig(path, *table));
    const std::string afterFive = bytes();

    table->MeterCount = 3;
    for (int k = 0; k < 5; ++k)
        table->MeterRecords[k].MeterAddr = 99;
    ASSERT_TRUE(saveMeterConfig(path, *table));
    const std::string afterThree = bytes();
    EXPECT_EQ(afterThree.substr(0, 4), bytesOf(std::int32_t(3)));
    EXPECT_EQ(afterThree.substr(std::size_t(slotOffset(3))), afterFive.substr(std::size_t(slotOffset(3))));
    EXPECT_EQ(afterThree[std::size_t(slotOffset(2))], char(99));

    // The next start reads slots 0..2 only.
    auto loaded = std::make_unique<DeviceTable>();
    loaded->MeterRecords[3].MeterAddr = 7;
    ASSERT_TRUE(loadMeterConfig(path, *loaded));
    EXPECT_EQ(loaded->MeterCount, 3);
    EXPECT_EQ(loaded->MeterRecords[2].MeterAddr, 99);
    EXPECT_EQ(loaded->MeterRecords[3].MeterAddr, 7);
}

TEST_F(ConfigFileTest, DamagedValuesAreClampedAndTheFileIsLeftAsItIs)
{
    MeterConfig bad = device("x", 3);
    bad.ChannelNum = 200;
    bad.CommSerial = 77;
    bad.CommStyle = 9;
    std::memset(bad.MeterName, 'N', sizeof bad.MeterName);  // no NUL
    bad.Channels[47].ChannelPoin = 9;
    MeterConfig noChannels = device("y", 0);
    noChannels.Channels[3].ChannelPoin = 9;  // not in use: kept as it is

    std::string file = bytes();
    put(file, 0, std::int32_t(500));
    std::int32_t bauds[MaxComPorts] = {};
    bauds[0] = 12;
    bauds[1] = -1;
    bauds[2] = 5;
    put(file, 18, bauds);
    put(file, std::size_t(slotOffset(0)), bad);
    put(file, std::size_t(slotOffset(1)), noChannels);
    write(file);

    ASSERT_TRUE(loadMeterConfig(path, *table));
    std::int32_t readBauds[MaxComPorts];
    ASSERT_TRUE(loadPortBaudTable(path, readBauds));
    EXPECT_EQ(bytes(), file) << "loading never writes";

    EXPECT_EQ(table->MeterCount, 120);
    const MeterRecord& m = table->MeterRecords[0];
    EXPECT_EQ(m.ChannelNum, 48);
    EXPECT_EQ(m.CommSerial, 39);
    EXPECT_EQ(m.CommStyle, 1);
    EXPECT_EQ(m.Channels[47].ChannelPoin, 4);
    EXPECT_EQ(fromGbkField(m.MeterName), QString(39, u'N'));
    EXPECT_EQ(table->MeterRecords[1].ChannelNum, 1);
    EXPECT_EQ(table->MeterRecords[1].Channels[3].ChannelPoin, 9);
    EXPECT_EQ(table->MeterRecords[119].ChannelNum, 1) << "an all-zero slot still has a channel";
    EXPECT_EQ((std::vector<int>{readBauds[0], readBauds[1], readBauds[2]}), (std::vector<int>{7, 0, 5}));

    put(file, 0, std::int32_t(-4));
    write(file);
    ASSERT_TRUE(loadMeterConfig(path, *table));
    EXPECT_EQ(table->MeterCount, 0);
}

TEST_F(ConfigFileTest, ShortFileReadsItsMissingBytesAsZero)
{
    std::string file = bytes();
    put(file, 0, std::int32_t(1));
    put(file, 14, std::int32_t(0xFF));
    put(file, std::size_t(slotOffset(0)), device("D1", 3));
    file.resize(std::size_t(slotOffset(0)) + 10);  // ends inside the first slot's header
    write(file);

    std::int32_t color = 0;
    ASSERT_TRUE(loadCurvesBackColor(path, color));
    table->MeterRecords[0].IPPort = 5;
    ASSERT_TRUE(loadMeterConfig(path, *table));
    EXPECT_EQ(color, 0xFF);
    EXPECT_EQ(table->MeterCount, 1);
    const MeterRecord& m = table->MeterRecords[0];
    EXPECT_EQ(m.ChannelNum, 3);
    EXPECT_EQ(std::uint16_t{m.CommStartReg}, 0x1234);  // packed fields are read by value
    EXPECT_EQ(std::int32_t{m.IPPort}, 0);
    EXPECT_EQ(m.MeterName[0], '\0');
    EXPECT_EQ(bytes(), file);
}

TEST_F(ConfigFileTest, SaveFailsOnceTheFileIsGone)
{
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(saveCurvesBackColor(path, 1));
    EXPECT_FALSE(QFile::exists(path));
}

} // namespace
