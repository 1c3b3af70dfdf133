#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "station/core/ConfigFile.h"
#include "station/MeterBatchAddForm.h"
#include "station/StringGrid.h"
#include "support/DeviceSlots.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/ModalDialog.h"
#include "support/StationDriver.h"

namespace {

using Edits = std::vector<std::pair<const char*, QString>>;
using Choices = std::vector<std::pair<const char*, int>>;

// A fresh base directory.
class BatchAdd : public testing::Test {
protected:
    void SetUp() override { ensureGuiApp(); }

    // Devices "old1".."oldN" of one channel in Config.dat, and the station
    // started in configuration mode, the first one loaded.
    void haveDevices(int count)
    {
        for (int k = 0; k < count; ++k)
            station.addDevice(namedDevice(QStringLiteral("old%1").arg(k + 1), {QString()}));
        startInConfigMode();
    }

    void startInConfigMode()
    {
        station.start();
        station.window().EnterConfigMode();
    }

    // Fills in the dialog and presses "确认". When a message keeps the dialog
    // open, checks that it still holds what was typed and cancels it.
    void batchAdd(const Edits& edits, const Choices& choices = {})
    {
        stayedOpen = false;
        whenShown<Tfm_MeterBatchAddForm>([this, edits, choices](Tfm_MeterBatchAddForm& dialog) {
            for (const auto& [name, text] : edits)
                type(dialog, name, text);
            for (const auto& [name, item] : choices)
                choose(dialog, name, item);
            press(dialog, "bt_Ok");
            if (!dialog.isVisible())
                return;
            stayedOpen = true;
            for (const auto& [name, text] : edits)
                EXPECT_EQ(dialog.findChild<QLineEdit*>(name)->text(), text) << name;
            press(dialog, "bt_Cancel");
        });
        station.click("btn_MeterBatchAdd");
    }

    int meterRows() const { return station.widget<StringGrid>("strgGrid_MeterList").RowCount(); }
    QString meterCell(int col, int row) const { return station.cell("strgGrid_MeterList", col, row); }
    // Slot k as "保存" writes it.
    MeterConfig saved(int slot)
    {
        station.click("btn_MeterSave");
        return station.savedDevice(slot);
    }

    MessageBoxCapture boxes;
    StationDriver station;
    bool stayedOpen = false;
};

TEST_F(BatchAdd, DialogStartsWithItsInitialEntries)
{
    Tfm_MeterBatchAddForm dialog;
    EXPECT_EQ(dialog.windowTitle(), "设备批量添加");
    EXPECT_EQ(dialog.size(), QSize(387, 294));

    struct Edit {
        const char* label;
        const char* edit;
        const char* initial;
        int maxLength;
    };
    const int none = QLineEdit().maxLength();
    const Edit edits[] = {
        {"设备数", "ed_MeterAddCount", "1", none},        {"设备共用名称", "ed_MeterName", "设备", 39},
        {"设备起始地址", "ed_MeterAddr", "1", none},      {"记录间隔", "ed_MeterPreRecordTime", "1", none},
        {"起始寄存器地址", "ed_CommStartReg", "0", 5},    {"每台通道数", "ed_MeterChCount", "1", none},
        {"通道共用名称", "ed_ChName", "通道", 39},        {"设备IP地址", "ed_MeterIPAddr", "192.168.0.101", 15},
        {"通讯端口", "ed_Port", "1000", 39},              {"下下限报警", "ed_ChannelLLA", "-50", 10},
        {"下限报警", "ed_ChannelLA", "0", 10},            {"上限报警", "ed_ChannelHA", "500", 10},
        {"上上限报警", "ed_ChannelHHA", "10000", 10},     {"通道单位", "ed_ChannelUnit", "℃", 19},
    };
    auto labelAbove = [&dialog](const QString& caption, const QWidget* control) {
        for (const QLabel* label : dialog.findChildren<QLabel*>())
            if (label->text() == caption)
                return label->geometry().bottom() < control->geometry().top()
                       && label->geometry().left() == control->geometry().left();
        return false;
    };
    for (const Edit& e : edits) {
        const auto* edit = dialog.findChild<QLineEdit*>(e.edit);
        ASSERT_NE(edit, nullptr) << e.edit;
        EXPECT_EQ(edit->text(), e.initial) << e.edit;
        EXPECT_EQ(edit->maxLength(), e.maxLength) << e.edit;
        EXPECT_TRUE(labelAbove(e.label, edit)) << e.label;
    }

    struct Box {
        const char* label;
        const char* box;
        QStringList items;
    };
    QStringList ports;
    for (int n = 1; n <= 40; ++n)
        ports << QStringLiteral("COM%1").arg(n);
    const Box boxes[] = {
        {"通讯代码", "cbo_MeterCommStyle", {"3X", "4X"}},
        {"通讯模式", "cbo_CommMod", {"串口", "因特网"}},
        {"通信串口", "cboBox_MeterCommSerial", ports},
        {"小数点位数", "cboBox_ChannelPoin", {"0", "1", "2", "3", "4"}},
    };
    for (const Box& b : boxes) {
        const auto* box = dialog.findChild<QComboBox*>(b.box);
        ASSERT_NE(box, nullptr) << b.box;
        QStringList items;
        for (int i = 0; i < box->count(); ++i)
            items << box->itemText(i);
        EXPECT_EQ(items, b.items) << b.box;
        EXPECT_EQ(box->currentIndex(), 0) << b.box;
        EXPECT_TRUE(labelAbove(b.label, box)) << b.label;
    }

    const auto* ok = dialog.findChild<QPushButton*>("bt_Ok");
    EXPECT_EQ(ok->text(), "确认");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(dialog.findChild<QPushButton*>("bt_Cancel")->text(), "取消");
}

struct AcceptedCase {
    const char* what;
    int existing;
    const char* count;
    const char* channels;
    const char* address;
    const char* startRegister;
    std::vector<int> addresses;  // of the new devices, in order
    int storedRegister;
    std::vector<std::pair<int, std::int32_t>> colours;  // channel index, colour
};

void PrintTo(const AcceptedCase& c, std::ostream* os) { *os << c.what; }

class AcceptedBatch : public BatchAdd, public testing::WithParamInterface<AcceptedCase> {};

TEST_P(AcceptedBatch, AppendsNumberedDevicesAndLoadsTheLast)
{
    const AcceptedCase c = GetParam();
    SCOPED_TRACE(c.what);
    haveDevices(c.existing);
    batchAdd({{"ed_MeterAddCount", c.count},
              {"ed_MeterChCount", c.channels},
              {"ed_MeterAddr", c.address},
              {"ed_CommStartReg", c.startRegister}});

    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_FALSE(stayedOpen);
    const int added = int(c.addresses.size());
    const int meterCount = c.existing + added;
    ASSERT_EQ(meterRows(), meterCount + 2);
    station.click("btn_MeterSave");
    EXPECT_EQ(station.savedMeterCount(), meterCount);
    const int channels = QString(c.channels).toInt();
    for (int i = 0; i < added; ++i) {
        const int k = c.existing + i;
        const MeterConfig m = station.savedDevice(k);
        const QString name = QStringLiteral("设备%1").arg(k + 1);
        EXPECT_EQ(fromGbkField(m.MeterName), name);
        EXPECT_EQ(+m.MeterAddr, c.addresses[std::size_t(i)]) << k;
        EXPECT_EQ(+m.CommStartReg, c.storedRegister);
        EXPECT_EQ(+m.ChannelNum, channels);
        EXPECT_EQ(fromGbkField(m.Channels[0].ChannelName), "通道1");
        EXPECT_EQ(fromGbkField(m.Channels[channels - 1].ChannelName), QStringLiteral("通道%1").arg(channels));
        for (const auto& [channel, colour] : c.colours)
            EXPECT_EQ(+m.Channels[channel].ChannelColor, colour) << "channel " << channel;
        EXPECT_EQ(meterCell(1, k + 1), name);
        EXPECT_EQ(meterCell(2, k + 1), QString::number(c.addresses[std::size_t(i)]));
    }
    if (c.existing > 0) {
        EXPECT_EQ(fromGbkField(station.savedDevice(c.existing - 1).MeterName), QStringLiteral("old%1").arg(c.existing));
    }
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterList").Row(), meterCount);
    const QString last = QStringLiteral("设备%1").arg(meterCount);
    EXPECT_EQ(station.text("ed_MeterName"), last);
    EXPECT_EQ(station.widget<QGroupBox>("grupBox_MeterChannelInfo").title(), last + ":通道信息");
}

INSTANTIATE_TEST_SUITE_P(Cases, AcceptedBatch, testing::Values(
    AcceptedCase{"numbered after three", 3, "2", "4", "1", "0", {1, 2}, 0,
                 {{0, 0xFF0000}, {1, 0x0000FF}, {2, 0x00FF00}, {3, 0x008000}}},
    AcceptedCase{"colours wrap after sixteen", 0, "1", "17", "1", "0", {1}, 0,
                 {{4, 0xFFFFFF}, {7, 0xF0CAA6}, {14, 0x00A5FF}, {15, 0xC1B6FF}, {16, 0xFF0000}}},
    AcceptedCase{"addresses wrap", 0, "3", "1", "255", "0", {255, 0, 1}, 0, {}},
    AcceptedCase{"register cut to 16 bits", 0, "1", "1", "1", "70000", {1}, 4464, {}},
    AcceptedCase{"a full table of full devices", 117, "3", "48", "1", "0", {1, 2, 3}, 0, {{47, 0xC1B6FF}}}),
    [](const testing::TestParamInfo<AcceptedCase>& info) { return "case" + std::to_string(info.index); });

struct RefusedCase {
    const char* what;
    int existing;
    Edits edits;
    const char* message;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.what; }

class RefusedBatch : public BatchAdd, public testing::WithParamInterface<RefusedCase> {};

TEST_P(RefusedBatch, TellsWhyAndAddsNothing)
{
    const RefusedCase c = GetParam();
    SCOPED_TRACE(c.what);
    haveDevices(c.existing);
    batchAdd(c.edits);
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.shown()[0], (ShownMessage{"错误", c.message}));
    EXPECT_EQ(meterRows(), c.existing + 2);
}

const char* const TooManyDevices = "添加后设备个数大于120台, 请减少要添加的设备数!";
const char* const TooManyChannels = "设备通道数不得大于48个, 请减少要添加的通道数!";
const char* const NoChannel = "每台设备至少要有1个通道!";
const char* const NotANumber = "请正确输入数值!";

INSTANTIATE_TEST_SUITE_P(Cases, RefusedBatch, testing::Values(
    RefusedCase{"121 devices", 3, {{"ed_MeterAddCount", "118"}}, TooManyDevices},
    RefusedCase{"a count that would wrap", 3, {{"ed_MeterAddCount", "2147483647"}}, TooManyDevices},
    RefusedCase{"49 channels", 0, {{"ed_MeterChCount", "49"}}, TooManyChannels},
    RefusedCase{"no channel", 0, {{"ed_MeterChCount", "0"}}, NoChannel},
    RefusedCase{"fewer than none", 0, {{"ed_MeterChCount", "-3"}}, NoChannel},
    RefusedCase{"a port that is no integer", 0, {{"ed_Port", "60x"}}, NotANumber},
    RefusedCase{"a limit that is no number", 0, {{"ed_ChannelHA", "5OO"}}, NotANumber},
    RefusedCase{"a bad number before too many devices", 0,
                {{"ed_MeterAddCount", "500"}, {"ed_CommStartReg", ""}}, NotANumber},
    RefusedCase{"too many devices before too many channels", 0,
                {{"ed_MeterAddCount", "121"}, {"ed_MeterChCount", "49"}}, TooManyDevices},
    RefusedCase{"too many devices before no channel", 0,
                {{"ed_MeterAddCount", "121"}, {"ed_MeterChCount", "0"}}, TooManyDevices}),
    [](const testing::TestParamInfo<RefusedCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(BatchAdd, NoDeviceToAddStillLoadsTheLastRow)
{
    haveDevices(2);
    batchAdd({{"ed_MeterAddCount", "0"}});
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(meterRows(), 4);
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterList").Row(), 2);
    EXPECT_EQ(station.text("ed_MeterName"), "old2");

    for (int row : {2, 1}) {
        station.clickRow("strgGrid_MeterList", row);
        station.click("btn_MeterDel");
    }
    ASSERT_EQ(meterRows(), 2);
    batchAdd({{"ed_MeterAddCount", "-5"}});
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(meterRows(), 2);
}

TEST_F(BatchAdd, CancelAddsNothing)
{
    haveDevices(2);
    whenShown<Tfm_MeterBatchAddForm>([](Tfm_MeterBatchAddForm& dialog) {
        type(dialog, "ed_MeterAddCount", "3");
        press(dialog, "bt_Cancel");
    });
    station.click("btn_MeterBatchAdd");
    EXPECT_EQ(meterRows(), 4);
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterList").Row(), 1);
    EXPECT_EQ(station.text("ed_MeterName"), "old1");
}

TEST_F(BatchAdd, NamesAreCutToTheirFieldsOnCharacterBoundaries)
{
    haveDevices(9);
    const QString name(19, QChar(0x8BBE));     // 设: 38 bytes of GBK
    const QString channel(20, QChar(0x901A));  // 通: 40 bytes
    const QString unit(10, QChar(0x2103));     // ℃: 20 bytes
    batchAdd({{"ed_MeterName", name}, {"ed_ChName", channel}, {"ed_ChannelUnit", unit}});
    ASSERT_EQ(meterRows(), 12);
    const MeterConfig m = saved(9);
    // Device number 10 loses its last digit to the 39 bytes.
    EXPECT_EQ(fromGbkField(m.MeterName), name + "1");
    EXPECT_EQ(std::strlen(m.MeterName), 39u);
    // No half character: 39 bytes of two-byte characters keep 38.
    EXPECT_EQ(fromGbkField(m.Channels[0].ChannelName), QString(19, QChar(0x901A)));
    EXPECT_EQ(fromGbkField(m.Channels[0].ChannelUnit), QString(9, QChar(0x2103)));
    EXPECT_EQ(std::strlen(m.Channels[0].ChannelUnit), 18u);
}

// Writes bytes into a slot image at the offset of a field.
void putBytes(std::string& slot, std::size_t offset, const std::string& bytes)
{
    slot.replace(offset, bytes.size(), bytes);
}

std::string le32(std::int32_t v)
{
    std::string b(4, '\0');
    put(b, 0, v);
    return b;
}

std::string f32(float v)
{
    std::string b(4, '\0');
    put(b, 0, v);
    return b;
}

// A device of 0x5A bytes, but for the fields that loading would mend: one
// channel, COM6 and register type "4X", texts that end.
MeterConfig olderDevice()
{
    MeterConfig m;
    std::memset(static_cast<void*>(&m), 0x5A, sizeof m);
    m.ChannelNum = 1;
    m.CommSerial = 5;
    m.CommStyle = 1;
    m.CommMod = 0;
    m.IPAddr[sizeof m.IPAddr - 1] = '\0';
    m.MeterName[sizeof m.MeterName - 1] = '\0';
    ChannelRecord& c = m.Channels[0];
    c.ChannelPoin = 4;
    c.ChannelUnit[sizeof c.ChannelUnit - 1] = '\0';
    c.ChannelName[sizeof c.ChannelName - 1] = '\0';
    return m;
}

std::string bytesOf(const MeterConfig& m)
{
    return std::string(reinterpret_cast<const char*>(&m), sizeof m);
}

TEST_F(BatchAdd, SavedDevicesAreWhatTheDialogAskedByteForByte)
{
    // Slot 1 held an older device, deleted since: all that the batch does not set stays.
    station.addDevice(namedDevice("old1", {QString()}));
    station.addDevice(olderDevice());
    startInConfigMode();
    station.clickRow("strgGrid_MeterList", 2);
    station.click("btn_MeterDel");
    station.polled(1).ChannelValues[0] = 5.5f;

    batchAdd({{"ed_MeterAddCount", "2"},
              {"ed_MeterName", "Pump"},
              {"ed_MeterAddr", "7"},
              {"ed_MeterPreRecordTime", "5"},
              {"ed_CommStartReg", "40"},
              {"ed_MeterChCount", "2"},
              {"ed_ChName", "ch"},
              {"ed_MeterIPAddr", "10.0.0.7"},
              {"ed_Port", "502"},
              {"ed_ChannelLLA", "-1.5"},
              {"ed_ChannelLA", "0"},
              {"ed_ChannelHA", "2.25"},
              {"ed_ChannelHHA", "1e3"},
              {"ed_ChannelUnit", "kPa"}},
             {{"cbo_MeterCommStyle", 1}, {"cbo_CommMod", 1}, {"cboBox_MeterCommSerial", 4}, {"cboBox_ChannelPoin", 3}});
    ASSERT_EQ(meterRows(), 5);
    EXPECT_EQ(+station.polled(1).ChannelValues[0], 5.5f);
    station.click("btn_MeterSave");

    std::string expected[2] = {bytesOf(olderDevice()), std::string(sizeof(MeterConfig), '\0')};
    for (int i = 0; i < 2; ++i) {
        std::string& s = expected[i];
        putBytes(s, 0, std::string{char(7 + i), char(2), char(4), char(1), char(1)});  // address .. mode
        putBytes(s, 5, std::string{char(40), char(0)});
        putBytes(s, 7, le32(5));
        putBytes(s, 15, le32(502));
        putBytes(s, 19, std::string("10.0.0.7", 9));
        putBytes(s, 35, std::string(i == 0 ? "Pump2" : "Pump3", 6));
        for (int j = 0; j < 2; ++j) {
            const std::size_t c = 75 + 81 * std::size_t(j);
            putBytes(s, c, std::string(1, char(3)));
            putBytes(s, c + 1, le32(j == 0 ? 0xFF0000 : 0x0000FF));
            putBytes(s, c + 5, f32(-1.5f) + f32(0.0f) + f32(2.25f) + f32(1000.0f));
            putBytes(s, c + 21, std::string("kPa", 4));
            putBytes(s, c + 41, std::string(j == 0 ? "ch1" : "ch2", 4));
        }
    }
    const std::string file = station.configFile();
    ASSERT_EQ(file.size(), std::size_t(ConfigFile::FileSize));
    EXPECT_EQ(file.substr(0, 4), le32(3));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(file.substr(std::size_t(ConfigFile::slotOffset(1 + i)), sizeof(MeterConfig)), expected[i]) << i;

    // And so they come back at the next start, to be saved as they came.
    startInConfigMode();
    EXPECT_EQ(meterRows(), 5);
    EXPECT_EQ(meterCell(0, 3), "以太网");
    EXPECT_EQ(meterCell(1, 3), "Pump3");
    station.click("btn_MeterSave");
    EXPECT_EQ(station.configFile(), file);
}

} // namespace
