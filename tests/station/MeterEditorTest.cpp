#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <memory>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "platform/MessageBox.h"
#include "station/ColorBox.h"
#include "station/MainForm.h"
#include "station/StringGrid.h"
#include "support/Devsim.h"
#include "support/FileBytes.h"
#include "support/GridClicks.h"
#include "support/GuiApp.h"
#include "support/WindowDriver.h"
#include "support/WorkDir.h"

namespace {

// A station in configuration mode in a fresh base directory, with no device.
class MeterEditor : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        form = std::make_unique<Tfm_MainForm>();
        form->EnterConfigMode();
    }

    MeterRecord& slot(int k) { return form->Devices.MeterRecords[k]; }
    int meterCount() const { return form->Devices.MeterCount; }
    QString meterCell(int col, int row) const { return widget<StringGrid>(*form, "strgGrid_MeterList")->Cells(col, row); }
    QString channelCell(int col, int row) const { return widget<StringGrid>(*form, "strgGrid_MeterChannelList")->Cells(col, row); }

    void addDevice(const QString& name, int comPort = 0, const QString& address = "1")
    {
        widget<QLineEdit>(*form, "ed_MeterName")->setText(name);
        widget<QLineEdit>(*form, "ed_MeterAddr")->setText(address);
        widget<QComboBox>(*form, "cbo_CommMod")->setCurrentIndex(0);
        widget<QComboBox>(*form, "cboBox_MeterCommSerial")->setCurrentIndex(comPort);
        widget<QPushButton>(*form, "btn_MeterAdd")->click();
    }
    // An Ethernet device at a loopback port nobody listens on, so that run
    // mode polls nothing real.
    void addUnreachableDevice(const QString& name)
    {
        widget<QLineEdit>(*form, "ed_MeterName")->setText(name);
        widget<QComboBox>(*form, "cbo_CommMod")->setCurrentIndex(1);
        widget<QLineEdit>(*form, "ed_MeterIPAddr")->setText("127.0.0.1");
        widget<QLineEdit>(*form, "ed_Port")->setText(QString::number(freeLoopbackPort()));
        widget<QPushButton>(*form, "btn_MeterAdd")->click();
    }
    void clickDevice(int row) { form->selectMeterRow(row); }
    void clickChannel(int row) { form->selectChannelRow(row); }
    void addChannel(const QString& name)
    {
        widget<QLineEdit>(*form, "ed_ChannelName")->setText(name);
        widget<QPushButton>(*form, "btn_ChannelAdd")->click();
    }

    WorkDir dir;
    MessageBoxCapture boxes;
    std::unique_ptr<Tfm_MainForm> form;
};

TEST_F(MeterEditor, AddedDeviceHasOneChannelAndIsLoaded)
{
    widget<QLineEdit>(*form, "ed_MeterAddr")->setText("7");
    widget<QLineEdit>(*form, "ed_MeterPreRecordTime")->setText("5");
    widget<QLineEdit>(*form, "ed_CommStartReg")->setText("100");
    widget<QLineEdit>(*form, "ed_Port")->setText("502");
    widget<QLineEdit>(*form, "ed_MeterIPAddr")->setText("10.0.0.9");
    widget<QComboBox>(*form, "cbo_MeterCommStyle")->setCurrentIndex(1);
    widget<QComboBox>(*form, "cboBox_MeterCommSerial")->setCurrentIndex(2);
    widget<QLineEdit>(*form, "ed_MeterName")->setText("锅炉");
    widget<QPushButton>(*form, "btn_MeterAdd")->click();

    ASSERT_EQ(meterCount(), 1);
    const MeterRecord& m = slot(0);
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

    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->RowCount(), 3);
    EXPECT_EQ(meterCell(0, 0), "串口");
    EXPECT_EQ(meterCell(3, 0), "给定值");
    EXPECT_EQ(meterCell(0, 1), "COM3");
    EXPECT_EQ(meterCell(1, 1), "锅炉");
    EXPECT_EQ(meterCell(2, 1), "7");
    EXPECT_EQ(meterCell(1, 2), "");
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->Row(), 1);
    EXPECT_EQ(widget<QGroupBox>(*form, "grupBox_MeterChannelInfo")->title(), "锅炉:通道信息");

    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterChannelList")->RowCount(), 3);
    const char* const row1[] = {"1", "CH1", "0", "", "C", "0", "0", "0", "0"};
    for (int col = 0; col < 9; ++col)
        EXPECT_EQ(channelCell(col, 1), row1[col]) << col;
    EXPECT_EQ(channelCell(4, 0), "通道颜色");
    EXPECT_EQ(channelCell(1, 2), "");
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_ChannelName")->text(), "CH1");
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MeterEditor, EthernetDeviceShowsTheModeInsteadOfItsPort)
{
    widget<QComboBox>(*form, "cbo_CommMod")->setCurrentIndex(1);
    widget<QComboBox>(*form, "cboBox_MeterCommSerial")->setCurrentIndex(5);
    widget<QPushButton>(*form, "btn_MeterAdd")->click();
    EXPECT_EQ(meterCell(0, 1), "以太网");
    EXPECT_EQ(+slot(0).CommSerial, 5);
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
    addDevice("D");
    widget<QLineEdit>(*form, "ed_MeterAddr")->setText(c.address);
    widget<QLineEdit>(*form, "ed_CommStartReg")->setText(c.startRegister);
    widget<QPushButton>(*form, "btn_MeterModify")->click();
    EXPECT_EQ(+slot(0).MeterAddr, c.storedAddress);
    EXPECT_EQ(+slot(0).CommStartReg, c.storedRegister);
    EXPECT_EQ(meterCell(2, 1), QString::number(c.storedAddress));
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterAddr")->text(), QString::number(c.storedAddress));
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_CommStartReg")->text(), QString::number(c.storedRegister));
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
        widget<QLineEdit>(*form, "ed_MeterAddr")->setText("9");
        widget<QLineEdit>(*form, "ed_MeterPreRecordTime")->setText("9");
        widget<QLineEdit>(*form, "ed_CommStartReg")->setText("9");
        widget<QLineEdit>(*form, "ed_Port")->setText("9");
        widget<QComboBox>(*form, "cboBox_MeterCommSerial")->setCurrentIndex(3);
        widget<QComboBox>(*form, "cboBox_MeterCommBaundrate")->setCurrentIndex(7);
        widget<QLineEdit>(*form, "ed_MeterName")->setText("new");
        widget<QLineEdit>(*form, NumberFields[refused].edit)->setText("abc");
    }
};

TEST_P(RefusedNumber, AddAddsNothing)
{
    const int refused = GetParam();
    addDevice("D");
    typeNewValues(refused);
    widget<QPushButton>(*form, "btn_MeterAdd")->click();
    EXPECT_EQ(boxes.texts(), std::vector<QString>{NumberFields[refused].message});
    EXPECT_EQ(boxes.shown()[0].caption, "错误");
    EXPECT_EQ(meterCount(), 1);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->RowCount(), 3);
    EXPECT_EQ(form->Devices.PortBaudTable[3], 0);
}

TEST_P(RefusedNumber, ModifyKeepsTheFieldsStoredBeforeIt)
{
    const int refused = GetParam();
    addDevice("D", 1);
    form->Devices.PortBaudTable[1] = 2;
    typeNewValues(refused);
    widget<QPushButton>(*form, "btn_MeterModify")->click();

    EXPECT_EQ(boxes.texts(), std::vector<QString>{NumberFields[refused].message});
    const MeterRecord& m = slot(0);
    const int stored[] = {m.MeterAddr, m.PreRecordTime, m.CommStartReg, m.IPPort};
    const int before[] = {1, 1, 0, 6000};
    for (int field = 0; field < 4; ++field)
        EXPECT_EQ(stored[field], field < refused ? 9 : before[field]) << field;
    EXPECT_EQ(+m.CommSerial, 1);
    EXPECT_STREQ(m.MeterName, "D");
    // The baud box still goes to the device's former port.
    EXPECT_EQ(form->Devices.PortBaudTable[1], 7);
    EXPECT_EQ(form->Devices.PortBaudTable[3], 0);
}

INSTANTIATE_TEST_SUITE_P(Fields, RefusedNumber, testing::Range(0, 4));

TEST_F(MeterEditor, TheHundredTwentiethDeviceIsTheLast)
{
    form->Devices.MeterCount = 119;
    addDevice("last");
    EXPECT_EQ(meterCount(), 120);
    EXPECT_EQ(meterCell(1, 120), "last");
    EXPECT_TRUE(boxes.shown().empty());

    addDevice("one too many");
    EXPECT_EQ(boxes.texts(), std::vector<QString>{"最多只能添加120台设备!"});
    EXPECT_EQ(meterCount(), 120);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->RowCount(), 122);
}

TEST_F(MeterEditor, DevicesOnOnePortShareItsBaudRate)
{
    addDevice("A", 1);
    addDevice("B", 1);
    addDevice("C", 4);
    clickDevice(1);
    widget<QComboBox>(*form, "cboBox_MeterCommBaundrate")->setCurrentIndex(4);
    widget<QPushButton>(*form, "btn_MeterModify")->click();
    EXPECT_EQ(form->Devices.PortBaudTable[1], 4);

    clickDevice(2);
    EXPECT_EQ(widget<QComboBox>(*form, "cboBox_MeterCommBaundrate")->currentText(), "19200");
    clickDevice(3);
    EXPECT_EQ(widget<QComboBox>(*form, "cboBox_MeterCommBaundrate")->currentText(), "9600");
}

TEST_F(MeterEditor, DeletingMovesTheLaterDevicesUpAndLoadsTheNext)
{
    addDevice("A");
    addDevice("B", 0, "2");
    addDevice("C", 0, "3");
    slot(2).ChannelValues[0] = 42.5f;
    slot(2).Online = 1;
    clickDevice(1);
    widget<QPushButton>(*form, "btn_MeterDel")->click();

    ASSERT_EQ(meterCount(), 2);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->RowCount(), 4);
    EXPECT_EQ(meterCell(1, 1), "B");
    EXPECT_EQ(meterCell(1, 2), "C");
    EXPECT_EQ(meterCell(1, 3), "");
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->Row(), 1);
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterName")->text(), "B");
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterAddr")->text(), "2");
    EXPECT_EQ(widget<QGroupBox>(*form, "grupBox_MeterChannelInfo")->title(), "B:通道信息");
    // Whole records move, run-time part included; the freed slot keeps a copy.
    EXPECT_EQ(+slot(1).ChannelValues[0], 42.5f);
    EXPECT_EQ(+slot(1).Online, 1);
    EXPECT_STREQ(slot(2).MeterName, "C");
}

TEST_F(MeterEditor, NoClickTakesTheHighlightOffTheSelectedRow)
{
    addDevice("A");
    addDevice("B");
    addDevice("C");
    StringGrid& grid = *widget<StringGrid>(*form, "strgGrid_MeterList");
    mouseClick(grid.viewport(), cellCentre(grid, 1, 2));
    ASSERT_EQ(grid.Row(), 2);

    mouseClick(grid.viewport(), belowTheRows(grid));
    mouseClick(grid.horizontalHeader()->viewport(), inTheHeadingRow());
    mouseClick(grid.viewport(), cellCentre(grid, 1, 2), Qt::ControlModifier);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_TRUE(grid.selectionModel()->isRowSelected(1)) << "the row that \"删除\" takes is the one shown";

    widget<QPushButton>(*form, "btn_MeterDel")->click();
    EXPECT_EQ(meterCell(1, 1), "A");
    EXPECT_EQ(meterCell(1, 2), "C");
}

TEST_F(MeterEditor, DeletingTheLastRowOrTheOnlyDeviceLoadsNothing)
{
    addDevice("A");
    addDevice("B");
    widget<QPushButton>(*form, "btn_MeterDel")->click();
    EXPECT_EQ(meterCount(), 1);
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterName")->text(), "B");
    EXPECT_EQ(widget<QGroupBox>(*form, "grupBox_MeterChannelInfo")->title(), "B:通道信息");

    clickDevice(1);
    widget<QPushButton>(*form, "btn_MeterDel")->click();
    EXPECT_EQ(meterCount(), 0);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->RowCount(), 2);
    EXPECT_EQ(meterCell(1, 0), "设备名称");
    EXPECT_EQ(meterCell(1, 1), "");
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterName")->text(), "A");
    EXPECT_EQ(channelCell(1, 1), "CH1");

    // With no device the channel buttons do nothing.
    widget<QPushButton>(*form, "btn_ChannelAdd")->click();
    widget<QPushButton>(*form, "btn_ChannelDel")->click();
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterChannelList")->RowCount(), 3);
}

TEST_F(MeterEditor, NextAddTakesOverWhatTheFreedSlotHeld)
{
    addDevice("A");
    addDevice("B");
    widget<QComboBox>(*form, "cboBox_ChannelPoin")->setCurrentIndex(2);
    widget<QLineEdit>(*form, "ed_ChannelUnit")->setText("℃");
    widget<ColorBox>(*form, "colorBox_ChannelColor")->setSelected(clRed);
    widget<QLineEdit>(*form, "ed_ChannelHA")->setText("50");
    widget<QPushButton>(*form, "btn_ChannelModify")->click();
    addChannel("second");
    clickDevice(2);
    widget<QPushButton>(*form, "btn_MeterDel")->click();

    addDevice("C");
    const MeterRecord& m = slot(1);
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
    addDevice("A");
    addChannel("ch2");
    const DeviceTable& table = form->Devices;
    std::vector<char> before(reinterpret_cast<const char*>(&table.MeterRecords[0].config()),
                             reinterpret_cast<const char*>(&table.MeterRecords[0].config()) + sizeof(MeterConfig));
    const std::int32_t baud0 = table.PortBaudTable[0];

    widget<StringGrid>(*form, "strgGrid_MeterList")->setRow(2);
    form->strgGrid_MeterListClick();
    widget<QLineEdit>(*form, "ed_MeterAddr")->setText("99");
    widget<QLineEdit>(*form, "ed_ChannelName")->setText("x");
    for (QPushButton* button : {widget<QPushButton>(*form, "btn_MeterDel"), widget<QPushButton>(*form, "btn_MeterModify"), widget<QPushButton>(*form, "btn_ChannelAdd"),
                                widget<QPushButton>(*form, "btn_ChannelDel"), widget<QPushButton>(*form, "btn_ChannelModify")})
        button->click();
    EXPECT_EQ(meterCount(), 1);
    EXPECT_EQ(std::memcmp(before.data(), &table.MeterRecords[0].config(), sizeof(MeterConfig)), 0);
    EXPECT_EQ(table.PortBaudTable[0], baud0);
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->Row(), 2);
}

TEST_F(MeterEditor, TheFortyEighthChannelIsTheLast)
{
    addDevice("A");
    slot(0).ChannelNum = 47;
    clickDevice(1);
    addChannel("ch48");
    EXPECT_EQ(+slot(0).ChannelNum, 48);
    EXPECT_EQ(channelCell(1, 48), "ch48");
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterChannelList")->Row(), 48);
    EXPECT_TRUE(boxes.shown().empty());

    addChannel("ch49");
    EXPECT_EQ(boxes.texts(), std::vector<QString>{"每台设备最多48通道!"});
    EXPECT_EQ(+slot(0).ChannelNum, 48);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterChannelList")->RowCount(), 50);
}

TEST_F(MeterEditor, DeletingAChannelMovesTheLaterOnesUp)
{
    addDevice("A");
    addChannel("two");
    addChannel("three");
    clickChannel(2);
    widget<QPushButton>(*form, "btn_ChannelDel")->click();
    EXPECT_EQ(+slot(0).ChannelNum, 2);
    EXPECT_EQ(channelCell(1, 2), "three");
    EXPECT_EQ(channelCell(0, 2), "2");
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterChannelList")->RowCount(), 4);
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_ChannelName")->text(), "three");
}

TEST_F(MeterEditor, TheOnlyChannelOrTheTrailingRowCannotBeDeleted)
{
    const std::vector<QString> refusal{"通道不可删除, 每台设备至少要有一个通道!"};
    addDevice("A");
    widget<QPushButton>(*form, "btn_ChannelDel")->click();
    EXPECT_EQ(boxes.texts(), refusal);
    EXPECT_EQ(+slot(0).ChannelNum, 1);

    boxes.clear();
    addChannel("two");
    clickChannel(3);
    widget<QPushButton>(*form, "btn_ChannelDel")->click();
    EXPECT_EQ(boxes.texts(), refusal);
    EXPECT_EQ(+slot(0).ChannelNum, 2);
}

TEST_F(MeterEditor, LimitsComeBackInFiveDigitsAndAreStoredSo)
{
    addDevice("A");
    widget<QLineEdit>(*form, "ed_ChannelLLA")->setText("1234.5678");
    widget<QLineEdit>(*form, "ed_ChannelLA")->setText("-0.5");
    widget<QLineEdit>(*form, "ed_ChannelHA")->setText("1e3");
    widget<QLineEdit>(*form, "ed_ChannelHHA")->setText("123456.7");
    widget<QPushButton>(*form, "btn_ChannelModify")->click();
    EXPECT_EQ(+slot(0).Channels[0].ChannelLLA, 1234.5678f);
    EXPECT_EQ(channelCell(5, 1), "1234.6");
    EXPECT_EQ(channelCell(6, 1), "-0.5");
    EXPECT_EQ(channelCell(7, 1), "1000");
    EXPECT_EQ(channelCell(8, 1), "1.2346E005");
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_ChannelLLA")->text(), "1234.6");

    widget<QPushButton>(*form, "btn_ChannelModify")->click();
    EXPECT_EQ(+slot(0).Channels[0].ChannelLLA, 1234.6f);
}

TEST_F(MeterEditor, LimitThatIsNotANumberEndsTheChannelChange)
{
    addDevice("A");
    widget<QLineEdit>(*form, "ed_ChannelName")->setText("renamed");
    widget<QComboBox>(*form, "cboBox_ChannelPoin")->setCurrentIndex(3);
    widget<QLineEdit>(*form, "ed_ChannelLLA")->setText("1");
    widget<QLineEdit>(*form, "ed_ChannelLA")->setText("abc");
    widget<QLineEdit>(*form, "ed_ChannelUnit")->setText("kPa");
    try {
        form->btn_ChannelModifyClick();
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.message(), "'abc' is not a valid floating point value");
    }
    const ChannelRecord& ch = slot(0).Channels[0];
    EXPECT_STREQ(ch.ChannelName, "renamed");
    EXPECT_EQ(+ch.ChannelPoin, 3);
    EXPECT_EQ(+ch.ChannelLLA, 1.0f);
    EXPECT_STREQ(ch.ChannelUnit, "");
    EXPECT_EQ(channelCell(1, 1), "CH1");

    EXPECT_THROW(form->btn_ChannelAddClick(), EConvertError);
    EXPECT_EQ(+slot(0).ChannelNum, 1);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterChannelList")->RowCount(), 3);
}

TEST_F(MeterEditor, LimitBeyondFloatRangeBecomesInfinite)
{
    addDevice("A");
    widget<QLineEdit>(*form, "ed_ChannelHHA")->setText("1e300");
    widget<QLineEdit>(*form, "ed_ChannelLLA")->setText("-1e300");
    widget<QPushButton>(*form, "btn_ChannelModify")->click();
    EXPECT_EQ(+slot(0).Channels[0].ChannelHHA, std::numeric_limits<float>::infinity());
    EXPECT_EQ(+slot(0).Channels[0].ChannelLLA, -std::numeric_limits<float>::infinity());
}

TEST_F(MeterEditor, ChannelGridPaintsOnlyTheColourColumnInTheChannelColour)
{
    addDevice("A");
    widget<ColorBox>(*form, "colorBox_ChannelColor")->setSelected(clLime);
    widget<QPushButton>(*form, "btn_ChannelModify")->click();
    addChannel("two");

    const GridCellPaint heading = form->strgGrid_MeterChannelListDrawCell(4, 0, false);
    EXPECT_EQ(heading.brush, toQColor(clBtnFace));
    for (bool selected : {false, true}) {
        const GridCellPaint colour = form->strgGrid_MeterChannelListDrawCell(4, 1, selected);
        EXPECT_EQ(colour.brush, QColor(0, 255, 0));
        EXPECT_EQ(colour.font, QColor(0, 0, 0));
        EXPECT_EQ(form->strgGrid_MeterChannelListDrawCell(1, 1, selected).brush, QColor(255, 255, 255));
    }
    EXPECT_EQ(channelCell(4, 1), "C");
    EXPECT_EQ(form->strgGrid_MeterChannelListDrawCell(4, 3, false).brush, QColor(255, 255, 255));

    // No selected device: no channel colour anywhere.
    widget<StringGrid>(*form, "strgGrid_MeterList")->setRow(2);
    EXPECT_EQ(form->strgGrid_MeterChannelListDrawCell(4, 1, false).brush, QColor(255, 255, 255));
}

TEST_F(MeterEditor, SetValueColumnStaysWithItsRow)
{
    addDevice("A");
    addDevice("B");
    widget<StringGrid>(*form, "strgGrid_MeterList")->setCell(3, 1, "12.5");
    clickDevice(1);
    widget<QPushButton>(*form, "btn_MeterDel")->click();
    EXPECT_EQ(meterCell(1, 1), "B");
    EXPECT_EQ(meterCell(3, 1), "12.5");
}

TEST_F(MeterEditor, TextEditsHoldAtMostTheirFieldsBytes)
{
    struct Case {
        QLineEdit* edit;
        int bytes;
    };
    for (const Case& c : {Case{widget<QLineEdit>(*form, "ed_MeterName"), 39}, Case{widget<QLineEdit>(*form, "ed_ChannelName"), 39},
                          Case{widget<QLineEdit>(*form, "ed_ChannelUnit"), 19}, Case{widget<QLineEdit>(*form, "ed_MeterIPAddr"), 15}}) {
        c.edit->clear();
        c.edit->insert(QString(c.bytes / 2, QChar(0x8BBE)));  // 设, two bytes in GBK
        c.edit->insert("设");
        EXPECT_EQ(toGbk(c.edit->text()).size(), c.bytes / 2 * 2) << c.bytes;
        c.edit->insert("x");
        EXPECT_EQ(toGbk(c.edit->text()).size(), c.bytes) << c.bytes;
    }
    widget<QLineEdit>(*form, "ed_MeterName")->clear();
    widget<QLineEdit>(*form, "ed_MeterName")->insert(QString::fromUtf8("\xF0\x9F\x98\x80"));  // no GBK for it
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterName")->text(), "");
}

template <typename T>
std::string bytesOf(const T& value)
{
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// Config.dat as it should read after a save of the table in memory: the
// device count at offset 0, the 40 baud indexes at 18 when they are saved
// too, and slot k's 3,963 bytes at 2048 + 3963 k (MeterConfig's own layout
// is pinned where it is declared).
std::string savedConfig(std::string file, const DeviceTable& table, bool withBaudTable)
{
    file.replace(0, 4, bytesOf(table.MeterCount));
    if (withBaudTable)
        file.replace(18, 160, bytesOf(table.PortBaudTable));
    for (int k = 0; k < table.MeterCount; ++k)
        file.replace(2048 + 3963 * std::size_t(k), 3963, bytesOf(table.MeterRecords[k].config()));
    return file;
}

TEST_F(MeterEditor, EachSaveWritesItsFieldsAndNothingMore)
{
    const std::string path = dir.file("Config.dat");
    addDevice("A", 1);
    addDevice("B", 2);
    addChannel("two");
    widget<QComboBox>(*form, "cboBox_MeterCommBaundrate")->setCurrentIndex(6);
    widget<QPushButton>(*form, "btn_MeterModify")->click();
    std::string before = readFileBytes(path);
    ASSERT_EQ(before.size(), 477608u);

    widget<QPushButton>(*form, "btn_ChannelSave")->click();
    EXPECT_EQ(readFileBytes(path), savedConfig(before, form->Devices, false));

    before = readFileBytes(path);
    widget<QPushButton>(*form, "btn_MeterSave")->click();
    EXPECT_EQ(readFileBytes(path), savedConfig(before, form->Devices, true));
    EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(MeterEditor, SavedTableComesBackAtTheNextStart)
{
    addUnreachableDevice("锅炉");
    addChannel("温度");
    widget<QPushButton>(*form, "btn_MeterSave")->click();
    addDevice("unsaved");

    form.reset();
    form = std::make_unique<Tfm_MainForm>();
    EXPECT_EQ(meterCount(), 1);
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->RowCount(), 3);
    EXPECT_EQ(meterCell(0, 1), "以太网");
    EXPECT_EQ(meterCell(1, 1), "锅炉");
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterIPAddr")->text(), "127.0.0.1");
    EXPECT_EQ(channelCell(1, 2), "温度");
}

TEST_F(MeterEditor, RunModeLoadsTheFirstDevice)
{
    addUnreachableDevice("first");
    addUnreachableDevice("second");
    ASSERT_EQ(widget<QLineEdit>(*form, "ed_MeterName")->text(), "second");
    widget<QPushButton>(*form, "btn_SignOut")->click();
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterList")->Row(), 1);
    EXPECT_EQ(widget<QLineEdit>(*form, "ed_MeterName")->text(), "first");
    EXPECT_EQ(widget<QGroupBox>(*form, "grupBox_MeterChannelInfo")->title(), "first:通道信息");
    EXPECT_EQ(widget<StringGrid>(*form, "strgGrid_MeterChannelList")->Row(), 1);
    EXPECT_NE(form->Comm.IPCommThread, nullptr);
    EXPECT_TRUE(form->Comm.CommThreads.empty());
}

} // namespace
