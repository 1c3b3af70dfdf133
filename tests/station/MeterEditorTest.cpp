#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <limits>
#include <utility>
#include <vector>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "station/ColorBox.h"
#include "station/StringGrid.h"
#include "station/core/ConfigFile.h"
#include "support/DeviceSlots.h"
#include "support/Devsim.h"
#include "support/GridClicks.h"
#include "support/GuiApp.h"
#include "support/StationDriver.h"

namespace {

// A station in configuration mode in a fresh base directory, with no device
// unless a test gives it some and starts it again.
class MeterEditor : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        start();
    }

    void start()
    {
        station.start();
        station.window().EnterConfigMode();
    }

    QString meterCell(int col, int row) const { return station.cell("strgGrid_MeterList", col, row); }
    QString channelCell(int col, int row) const { return station.cell("strgGrid_MeterChannelList", col, row); }
    int meterRows() const { return station.widget<StringGrid>("strgGrid_MeterList").RowCount(); }
    int channelRows() const { return station.widget<StringGrid>("strgGrid_MeterChannelList").RowCount(); }

    // An Ethernet device at a loopback port nobody listens on, so that run
    // mode polls nothing real.
    void addUnreachableDevice(const QString& name)
    {
        station.type("ed_MeterName", name);
        station.choose("cbo_CommMod", 1);
        station.type("ed_MeterIPAddr", "127.0.0.1");
        station.type("ed_Port", QString::number(freeLoopbackPort()));
        station.click("btn_MeterAdd");
    }
    void clickDevice(int row) { station.clickRow("strgGrid_MeterList", row); }
    void clickChannel(int row) { station.clickRow("strgGrid_MeterChannelList", row); }
    void addChannel(const QString& name)
    {
        station.type("ed_ChannelName", name);
        station.click("btn_ChannelAdd");
    }
    // Slot k as "保存" writes it.
    MeterConfig saved(int slot)
    {
        station.click("btn_MeterSave");
        return station.savedDevice(slot);
    }

    MessageBoxCapture boxes;
    StationDriver station;
};

TEST_F(MeterEditor, AddedDeviceHasOneChannelAndIsLoaded)
{
    const std::pair<const char*, const char*> typed[] = {
        {"ed_MeterAddr", "7"}, {"ed_MeterPreRecordTime", "5"}, {"ed_CommStartReg", "100"},
        {"ed_Port", "502"},    {"ed_MeterIPAddr", "10.0.0.9"}, {"ed_MeterName", "锅炉"}};
    for (const auto& [edit, text] : typed)
        station.type(edit, QString::fromUtf8(text));
    station.choose("cbo_MeterCommStyle", 1);
    station.choose("cboBox_MeterCommSerial", 2);
    station.click("btn_MeterAdd");

    const MeterConfig m = saved(0);
    EXPECT_EQ(station.savedMeterCount(), 1);
    EXPECT_EQ(+m.MeterAddr, 7);
    EXPECT_EQ(+m.PreRecordTime, 5);
    EXPECT_EQ(+m.CommStartReg, 100);
    EXPECT_EQ(+m.IPPort, 502);
    EXPECT_STREQ(m.IPAddr, "10.0.0.9");
    EXPECT_EQ(+m.CommStyle, 1);
    EXPECT_EQ(+m.CommMod, 0);
    EXPECT_EQ(+m.CommSerial, 2);
    EXPECT_EQ(fromGbkField(m.MeterName), "锅炉");
    EXPECT_EQ(+m.ChannelNum, 1);
    // A slot never used since start-up gives zeros where the add writes nothing.
    EXPECT_STREQ(m.Channels[0].ChannelName, "CH1");
    EXPECT_EQ(+m.Channels[0].ChannelPoin, 0);
    EXPECT_EQ(+m.Channels[0].ChannelColor, 0);
    EXPECT_STREQ(m.Channels[0].ChannelUnit, "");
    EXPECT_EQ(+m.Channels[0].ChannelLLA, 0.0f);
    EXPECT_EQ(+m.Channels[0].ChannelHHA, 0.0f);

    EXPECT_EQ(meterRows(), 3);
    EXPECT_EQ(meterCell(0, 0), "串口");
    EXPECT_EQ(meterCell(3, 0), "给定值");
    EXPECT_EQ(meterCell(0, 1), "COM3");
    EXPECT_EQ(meterCell(1, 1), "锅炉");
    EXPECT_EQ(meterCell(2, 1), "7");
    EXPECT_EQ(meterCell(1, 2), "");
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterList").Row(), 1);
    EXPECT_EQ(station.widget<QGroupBox>("grupBox_MeterChannelInfo").title(), "锅炉:通道信息");

    EXPECT_EQ(channelRows(), 3);
    const char* const row1[] = {"1", "CH1", "0", "", "C", "0", "0", "0", "0"};
    for (int col = 0; col < 9; ++col)
        EXPECT_EQ(channelCell(col, 1), row1[col]) << col;
    EXPECT_EQ(channelCell(4, 0), "通道颜色");
    EXPECT_EQ(channelCell(1, 2), "");
    EXPECT_EQ(station.text("ed_ChannelName"), "CH1");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MeterEditor, EthernetDeviceShowsTheModeInsteadOfItsPort)
{
    station.choose("cbo_CommMod", 1);
    station.choose("cboBox_MeterCommSerial", 5);
    station.click("btn_MeterAdd");
    EXPECT_EQ(meterCell(0, 1), "以太网");
    EXPECT_EQ(+saved(0).CommSerial, 5);
}

struct CutCase {
    const char* address;
    const char* startRegister;
    int storedAddress;
    int storedRegister;
};

class IntegerCut : public MeterEditor, public testing::WithParamInterface<CutCase> {};

TEST_P(IntegerCut, IsStoredCutToItsFieldAndShownSo)
{
    const CutCase c = GetParam();
    station.addInEditor("D");
    station.type("ed_MeterAddr", c.address);
    station.type("ed_CommStartReg", c.startRegister);
    station.click("btn_MeterModify");
    const MeterConfig m = saved(0);
    EXPECT_EQ(+m.MeterAddr, c.storedAddress);
    EXPECT_EQ(+m.CommStartReg, c.storedRegister);
    EXPECT_EQ(meterCell(2, 1), QString::number(c.storedAddress));
    EXPECT_EQ(station.text("ed_MeterAddr"), QString::number(c.storedAddress));
    EXPECT_EQ(station.text("ed_CommStartReg"), QString::number(c.storedRegister));
}

INSTANTIATE_TEST_SUITE_P(Values, IntegerCut, testing::Values(
    CutCase{"300", "70000", 44, 4464},
    CutCase{"-1", "-1", 255, 65535},
    CutCase{"255", "65535", 255, 65535},
    CutCase{"$10", "0x20", 16, 32}));

// Each number edit in storing order, with its message.
struct RefusedField {
    const char* edit;
    const char* message;
};

const RefusedField NumberFields[] = {
    {"ed_MeterAddr", "请正确输入设备地址!"},
    {"ed_MeterPreRecordTime", "请正确输入记录间隔!"},
    {"ed_CommStartReg", "请正确输入通讯起始地址!"},
    {"ed_Port", "请正确输入通讯端口"},
};

class RefusedNumber : public MeterEditor, public testing::WithParamInterface<int> {
protected:
    void typeNewValues(int refused)
    {
        station.type("ed_MeterAddr", "9");
        station.type("ed_MeterPreRecordTime", "9");
        station.type("ed_CommStartReg", "9");
        station.type("ed_Port", "9");
        station.choose("cboBox_MeterCommSerial", 3);
        station.choose("cboBox_MeterCommBaundrate", 7);
        station.type("ed_MeterName", "new");
        station.type(NumberFields[refused].edit, "abc");
    }
};

TEST_P(RefusedNumber, AddAddsNothing)
{
    const int refused = GetParam();
    station.addInEditor("D");
    typeNewValues(refused);
    station.click("btn_MeterAdd");
    EXPECT_EQ(boxes.texts(), std::vector<QString>{NumberFields[refused].message});
    EXPECT_EQ(boxes.shown()[0].caption, "错误");
    EXPECT_EQ(meterRows(), 3);
    station.click("btn_MeterSave");
    EXPECT_EQ(station.savedMeterCount(), 1);
    EXPECT_EQ(station.savedPortBaud(3), 0);
}

TEST_P(RefusedNumber, ModifyKeepsTheFieldsStoredBeforeIt)
{
    const int refused = GetParam();
    station.addInEditor("D", 1);
    typeNewValues(refused);
    station.click("btn_MeterModify");

    EXPECT_EQ(boxes.texts(), std::vector<QString>{NumberFields[refused].message});
    const MeterConfig m = saved(0);
    const int stored[] = {m.MeterAddr, m.PreRecordTime, m.CommStartReg, m.IPPort};
    const int before[] = {1, 1, 0, 6000};
    for (int field = 0; field < 4; ++field)
        EXPECT_EQ(stored[field], field < refused ? 9 : before[field]) << field;
    EXPECT_EQ(+m.CommSerial, 1);
    EXPECT_STREQ(m.MeterName, "D");
    // The baud box still goes to the device's former port.
    EXPECT_EQ(station.savedPortBaud(1), 7);
    EXPECT_EQ(station.savedPortBaud(3), 0);
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedNumber, testing::Range(0, 4));

TEST_F(MeterEditor, TheHundredTwentiethDeviceIsTheLast)
{
    for (int k = 1; k <= 119; ++k)
        station.addDevice(namedDevice(QStringLiteral("D%1").arg(k), {"CH1"}));
    start();
    station.addInEditor("last");
    EXPECT_EQ(meterRows(), 122);
    EXPECT_EQ(meterCell(1, 120), "last");
    EXPECT_TRUE(boxes.shown().empty());

    station.addInEditor("one too many");
    EXPECT_EQ(boxes.texts(), std::vector<QString>{"最多只能添加120台设备!"});
    EXPECT_EQ(meterRows(), 122);
}

TEST_F(MeterEditor, DevicesOnOnePortShareItsBaudRate)
{
    station.addInEditor("A", 1);
    station.addInEditor("B", 1);
    station.addInEditor("C", 4);
    clickDevice(1);
    station.choose("cboBox_MeterCommBaundrate", 4);
    station.click("btn_MeterModify");

    clickDevice(2);
    EXPECT_EQ(station.widget<QComboBox>("cboBox_MeterCommBaundrate").currentText(), "19200");
    clickDevice(3);
    EXPECT_EQ(station.widget<QComboBox>("cboBox_MeterCommBaundrate").currentText(), "9600");
}

TEST_F(MeterEditor, DeletingMovesTheLaterDevicesUpAndLoadsTheNext)
{
    station.addInEditor("A");
    station.addInEditor("B", 0, "2");
    station.addInEditor("C", 0, "3");
    station.type("ed_ChannelUnit", "℃");
    station.click("btn_ChannelModify");
    station.polled(2).ChannelValues[0] = 42.5f;
    station.polled(2).Online = 1;
    clickDevice(1);
    station.click("btn_MeterDel");

    EXPECT_EQ(meterRows(), 4);
    EXPECT_EQ(meterCell(1, 1), "B");
    EXPECT_EQ(meterCell(1, 2), "C");
    EXPECT_EQ(meterCell(1, 3), "");
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterList").Row(), 1);
    EXPECT_EQ(station.text("ed_MeterName"), "B");
    EXPECT_EQ(station.text("ed_MeterAddr"), "2");
    EXPECT_EQ(station.widget<QGroupBox>("grupBox_MeterChannelInfo").title(), "B:通道信息");
    // Whole records move, run-time part included; the freed slot keeps a
    // copy, of which the next device takes what its add does not set.
    EXPECT_EQ(+station.polled(1).ChannelValues[0], 42.5f);
    EXPECT_EQ(+station.polled(1).Online, 1);
    station.addInEditor("D");
    EXPECT_EQ(channelCell(3, 1), "℃");
}

TEST_F(MeterEditor, NoClickTakesTheHighlightOffTheSelectedRow)
{
    station.addInEditor("A");
    station.addInEditor("B");
    station.addInEditor("C");
    StringGrid& grid = station.widget<StringGrid>("strgGrid_MeterList");
    clickDevice(2);
    ASSERT_EQ(grid.Row(), 2);

    mouseClick(grid.viewport(), belowTheRows(grid));
    mouseClick(grid.horizontalHeader()->viewport(), inTheHeadingRow());
    mouseClick(grid.viewport(), cellCentre(grid, 1, 2), Qt::ControlModifier);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(1)) << "the row that \"删除\" takes is the one shown";

    station.click("btn_MeterDel");
    EXPECT_EQ(meterCell(1, 1), "A");
    EXPECT_EQ(meterCell(1, 2), "C");
}

TEST_F(MeterEditor, DeletingTheLastRowOrTheOnlyDeviceLoadsNothing)
{
    station.addInEditor("A");
    station.addInEditor("B");
    station.click("btn_MeterDel");
    EXPECT_EQ(meterRows(), 3);
    EXPECT_EQ(station.text("ed_MeterName"), "B");
    EXPECT_EQ(station.widget<QGroupBox>("grupBox_MeterChannelInfo").title(), "B:通道信息");

    clickDevice(1);
    station.click("btn_MeterDel");
    EXPECT_EQ(meterRows(), 2);
    EXPECT_EQ(meterCell(1, 0), "设备名称");
    EXPECT_EQ(meterCell(1, 1), "");
    EXPECT_EQ(station.text("ed_MeterName"), "A");
    EXPECT_EQ(channelCell(1, 1), "CH1");

    // With no device the channel buttons do nothing.
    station.click("btn_ChannelAdd");
    station.click("btn_ChannelDel");
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(channelRows(), 3);
}

TEST_F(MeterEditor, NextAddTakesOverWhatTheFreedSlotHeld)
{
    station.addInEditor("A");
    station.addInEditor("B");
    station.choose("cboBox_ChannelPoin", 2);
    station.type("ed_ChannelUnit", "℃");
    station.widget<ColorBox>("colorBox_ChannelColor").setSelected(clRed);
    station.type("ed_ChannelHA", "50");
    station.click("btn_ChannelModify");
    addChannel("second");
    clickDevice(2);
    station.click("btn_MeterDel");

    station.addInEditor("C");
    const MeterConfig m = saved(1);
    EXPECT_EQ(+m.ChannelNum, 1);
    EXPECT_STREQ(m.Channels[0].ChannelName, "CH1");
    EXPECT_EQ(+m.Channels[0].ChannelHA, 0.0f);
    EXPECT_EQ(+m.Channels[0].ChannelPoin, 2);
    EXPECT_EQ(fromGbkField(m.Channels[0].ChannelUnit), "℃");
    EXPECT_EQ(+m.Channels[0].ChannelColor, clRed);
    EXPECT_STREQ(m.Channels[1].ChannelName, "second");
    EXPECT_EQ(channelCell(2, 1), "2");
    EXPECT_EQ(channelCell(3, 1), "℃");
}

TEST_F(MeterEditor, TrailingRowsChangeNothingAndShowNothing)
{
    station.addInEditor("A");
    addChannel("ch2");
    station.click("btn_MeterSave");
    const std::string before = station.configFile();

    clickDevice(2);
    station.type("ed_MeterAddr", "99");
    station.type("ed_ChannelName", "x");
    for (const char* button : {"btn_MeterDel", "btn_MeterModify", "btn_ChannelAdd", "btn_ChannelDel", "btn_ChannelModify"})
        station.click(button);
    EXPECT_EQ(meterRows(), 3);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterList").Row(), 2);
    station.click("btn_MeterSave");
    EXPECT_EQ(station.configFile(), before);
}

TEST_F(MeterEditor, TheFortyEighthChannelIsTheLast)
{
    station.addDevice(namedDevice("A", numberedNames("CH", 47)));
    start();
    clickDevice(1);
    addChannel("ch48");
    EXPECT_EQ(channelRows(), 50);
    EXPECT_EQ(channelCell(1, 48), "ch48");
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterChannelList").Row(), 48);
    EXPECT_TRUE(boxes.shown().empty());

    addChannel("ch49");
    EXPECT_EQ(boxes.texts(), std::vector<QString>{"每台设备最多48通道!"});
    EXPECT_EQ(channelRows(), 50);
    EXPECT_EQ(+saved(0).ChannelNum, 48);
}

TEST_F(MeterEditor, DeletingAChannelMovesTheLaterOnesUp)
{
    station.addInEditor("A");
    addChannel("two");
    addChannel("three");
    clickChannel(2);
    station.click("btn_ChannelDel");
    EXPECT_EQ(channelRows(), 4);
    EXPECT_EQ(channelCell(1, 2), "three");
    EXPECT_EQ(channelCell(0, 2), "2");
    EXPECT_EQ(station.text("ed_ChannelName"), "three");
    EXPECT_EQ(+saved(0).ChannelNum, 2);
}

TEST_F(MeterEditor, TheOnlyChannelOrTheTrailingRowCannotBeDeleted)
{
    const std::vector<QString> refusal{"通道不可删除, 每台设备至少要有一个通道!"};
    station.addInEditor("A");
    station.click("btn_ChannelDel");
    EXPECT_EQ(boxes.texts(), refusal);
    EXPECT_EQ(channelRows(), 3);

    boxes.clear();
    addChannel("two");
    clickChannel(3);
    station.click("btn_ChannelDel");
    EXPECT_EQ(boxes.texts(), refusal);
    EXPECT_EQ(channelRows(), 4);
}

TEST_F(MeterEditor, LimitsComeBackInFiveDigitsAndAreStoredSo)
{
    station.addInEditor("A");
    station.type("ed_ChannelLLA", "1234.5678");
    station.type("ed_ChannelLA", "-0.5");
    station.type("ed_ChannelHA", "1e3");
    station.type("ed_ChannelHHA", "123456.7");
    station.click("btn_ChannelModify");
    EXPECT_EQ(+saved(0).Channels[0].ChannelLLA, 1234.5678f);
    EXPECT_EQ(channelCell(5, 1), "1234.6");
    EXPECT_EQ(channelCell(6, 1), "-0.5");
    EXPECT_EQ(channelCell(7, 1), "1000");
    EXPECT_EQ(channelCell(8, 1), "1.2346E005");
    EXPECT_EQ(station.text("ed_ChannelLLA"), "1234.6");

    station.click("btn_ChannelModify");
    EXPECT_EQ(+saved(0).Channels[0].ChannelLLA, 1234.6f);
}

TEST_F(MeterEditor, LimitThatIsNotANumberEndsTheChannelChange)
{
    station.addInEditor("A");
    station.type("ed_ChannelName", "renamed");
    station.choose("cboBox_ChannelPoin", 3);
    station.type("ed_ChannelLLA", "1");
    station.type("ed_ChannelLA", "abc");
    station.type("ed_ChannelUnit", "kPa");
    try {
        station.window().btn_ChannelModifyClick();
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "'abc' is not a valid floating point value");
    }
    const ChannelRecord ch = saved(0).Channels[0];
    EXPECT_STREQ(ch.ChannelName, "renamed");
    EXPECT_EQ(+ch.ChannelPoin, 3);
    EXPECT_EQ(+ch.ChannelLLA, 1.0f);
    EXPECT_STREQ(ch.ChannelUnit, "");
    EXPECT_EQ(channelCell(1, 1), "CH1");

    EXPECT_THROW(station.window().btn_ChannelAddClick(), EConvertError);
    EXPECT_EQ(channelRows(), 3);
    EXPECT_EQ(+saved(0).ChannelNum, 1);
}

TEST_F(MeterEditor, LimitBeyondFloatRangeBecomesInfinite)
{
    station.addInEditor("A");
    station.type("ed_ChannelHHA", "1e300");
    station.type("ed_ChannelLLA", "-1e300");
    station.click("btn_ChannelModify");
    const ChannelRecord ch = saved(0).Channels[0];
    EXPECT_EQ(+ch.ChannelHHA, std::numeric_limits<float>::infinity());
    EXPECT_EQ(+ch.ChannelLLA, -std::numeric_limits<float>::infinity());
}

TEST_F(MeterEditor, ChannelGridPaintsOnlyTheColourColumnInTheChannelColour)
{
    station.addInEditor("A");
    station.widget<ColorBox>("colorBox_ChannelColor").setSelected(clLime);
    station.click("btn_ChannelModify");
    addChannel("two");

    const StringGrid& grid = station.widget<StringGrid>("strgGrid_MeterChannelList");
    EXPECT_EQ(grid.cellPaint(4, 0, false).brush, toQColor(clBtnFace));
    for (bool selected : {false, true}) {
        const GridCellPaint colour = grid.cellPaint(4, 1, selected);
        EXPECT_EQ(colour.brush, QColor(0, 255, 0));
        EXPECT_EQ(colour.font, QColor(0, 0, 0));
        EXPECT_EQ(grid.cellPaint(1, 1, selected).brush, QColor(255, 255, 255));
    }
    EXPECT_EQ(channelCell(4, 1), "C");
    EXPECT_EQ(grid.cellPaint(4, 3, false).brush, QColor(255, 255, 255));

    // No selected device: no channel colour anywhere.
    station.widget<StringGrid>("strgGrid_MeterList").setRow(2);
    EXPECT_EQ(grid.cellPaint(4, 1, false).brush, QColor(255, 255, 255));
}

TEST_F(MeterEditor, SetValueColumnStaysWithItsRow)
{
    station.addInEditor("A");
    station.addInEditor("B");
    station.widget<StringGrid>("strgGrid_MeterList").setCell(3, 1, "12.5");
    clickDevice(1);
    station.click("btn_MeterDel");
    EXPECT_EQ(meterCell(1, 1), "B");
    EXPECT_EQ(meterCell(3, 1), "12.5");
}

TEST_F(MeterEditor, TextEditsHoldAtMostTheirFieldsBytes)
{
    struct Case {
        const char* edit;
        int bytes;
    };
    for (const Case& c : {Case{"ed_MeterName", 39}, Case{"ed_ChannelName", 39}, Case{"ed_ChannelUnit", 19},
                          Case{"ed_MeterIPAddr", 15}}) {
        QLineEdit& edit = station.widget<QLineEdit>(c.edit);
        edit.clear();
        edit.insert(QString(c.bytes / 2, QChar(0x8BBE)));  // 设, two bytes in GBK
        edit.insert("设");
        EXPECT_EQ(toGbk(edit.text()).size(), c.bytes / 2 * 2) << c.bytes;
        edit.insert("x");
        EXPECT_EQ(toGbk(edit.text()).size(), c.bytes) << c.bytes;
    }
    QLineEdit& name = station.widget<QLineEdit>("ed_MeterName");
    name.clear();
    name.insert(QString::fromUtf8("\xF0\x9F\x98\x80"));  // no GBK for it
    EXPECT_EQ(name.text(), "");
}

// Config.dat after a save: what changed lies only in the ranges given, each
// (offset, length); the rest is as before.
void expectOnlyChanged(const std::string& before, const std::string& after,
                       std::initializer_list<std::pair<std::size_t, std::size_t>> ranges)
{
    std::string expected = before;
    for (const auto& [offset, length] : ranges)
        expected.replace(offset, length, after.substr(offset, length));
    EXPECT_EQ(after, expected);
}

TEST_F(MeterEditor, EachSaveWritesItsFieldsAndNothingMore)
{
    constexpr std::size_t CountBytes = 4, BaudTableBytes = 4 * MaxComPorts;
    const std::size_t slotsOffset = std::size_t(ConfigFile::slotOffset(0)), twoSlots = 2 * sizeof(MeterConfig);
    station.addInEditor("A", 1);
    station.addInEditor("B", 2);
    addChannel("two");
    station.choose("cboBox_MeterCommBaundrate", 6);
    station.click("btn_MeterModify");
    const std::string before = station.configFile();
    ASSERT_EQ(before.size(), 477608u);

    station.click("btn_ChannelSave");
    const std::string channelsSaved = station.configFile();
    expectOnlyChanged(before, channelsSaved, {{0, CountBytes}, {slotsOffset, twoSlots}});
    EXPECT_EQ(station.savedMeterCount(), 2);
    EXPECT_STREQ(station.savedDevice(0).MeterName, "A");
    EXPECT_EQ(+station.savedDevice(1).ChannelNum, 2);
    EXPECT_EQ(station.savedPortBaud(2), 0) << "the baud table is not saved";

    station.click("btn_MeterSave");
    expectOnlyChanged(channelsSaved, station.configFile(), {{ConfigFile::PortBaudTableOffset, BaudTableBytes}});
    EXPECT_EQ(station.savedPortBaud(2), 6);
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MeterEditor, SavedTableComesBackAtTheNextStart)
{
    addUnreachableDevice("锅炉");
    addChannel("温度");
    station.click("btn_MeterSave");
    station.addInEditor("unsaved");

    station.start();
    EXPECT_EQ(meterRows(), 3);
    EXPECT_EQ(meterCell(0, 1), "以太网");
    EXPECT_EQ(meterCell(1, 1), "锅炉");
    EXPECT_EQ(station.text("ed_MeterIPAddr"), "127.0.0.1");
    EXPECT_EQ(channelCell(1, 2), "温度");
}

TEST_F(MeterEditor, RunModeLoadsTheFirstDevice)
{
    addUnreachableDevice("first");
    addUnreachableDevice("second");
    ASSERT_EQ(station.text("ed_MeterName"), "second");
    station.click("btn_SignOut");
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterList").Row(), 1);
    EXPECT_EQ(station.text("ed_MeterName"), "first");
    EXPECT_EQ(station.widget<QGroupBox>("grupBox_MeterChannelInfo").title(), "first:通道信息");
    EXPECT_EQ(station.widget<StringGrid>("strgGrid_MeterChannelList").Row(), 1);
}

} // namespace
