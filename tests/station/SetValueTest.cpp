#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "shared/SetValueRequest.h"
#include "station/MainForm.h"
#include "station/StringGrid.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/GridClicks.h"
#include "support/GuiApp.h"
#include "support/WindowDriver.h"
#include "support/WorkDir.h"

namespace {

constexpr int SetValueRegister = 31;

// Register 31 of every simulated slave holds -125; the rest hold 0.
std::string registersWithSetValue()
{
    std::string values;
    for (int r = 0; r < SetValueRegister; ++r)
        values += "0,";
    return values + "-125";
}

// A station in run mode with four serial devices on COM1, each with its row
// as address (1, 2, 3 and 5, with 1, 2, 0 and 4 decimal places), and in
// row 4 an Ethernet device that has address 1 and COM1 in its record, so
// that only its mode keeps it off COM1.
class SetValue : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        std::vector<std::string> args = {"--address", "1,2,3,5", "--values", registersWithSetValue()};
        args.insert(args.end(), deviceBehaviour.begin(), deviceBehaviour.end());
        com1 = Devsim::onPty(comLink(1), args);
        form = std::make_unique<Tfm_MainForm>();
        form->EnterConfigMode();
        addDevice(0, "锅炉", 1, 1);
        addDevice(1, "泵", 2, 2);
        addDevice(2, "阀", 3, 0);
        addDevice(3, "水箱", 1, 1).CommMod = 1;
        addDevice(4, "罐", 5, 4);
        form->Devices.MeterCount = 5;
        form->EnterRunMode();
    }

    void TearDown() override { form.reset(); }

    MeterRecord& addDevice(int k, const char* name, int address, int decimals)
    {
        MeterRecord& m = form->Devices.MeterRecords[k];
        copyToField(m.MeterName, QString::fromUtf8(name));
        m.MeterAddr = std::uint8_t(address);
        m.ChannelNum = 1;
        m.Channels[0].ChannelPoin = std::uint8_t(decimals);
        std::snprintf(m.IPAddr, sizeof m.IPAddr, "127.0.0.1");
        m.IPPort = freeLoopbackPort();
        return m;
    }

    QString column3(int row) const { return widget<StringGrid>(*form, "strgGrid_MeterList")->Cells(3, row); }

    // Set-value writes the simulated slaves received, as address and value.
    std::vector<std::pair<int, int>> writes() const
    {
        std::vector<std::pair<int, int>> result;
        for (const DevsimRequest& r : com1->requests())
            if (r.function == 6 && r.reg == SetValueRegister)
                result.emplace_back(r.address, r.value);
        return result;
    }

    std::vector<std::string> deviceBehaviour;  // further devsim options, set before SetUp
    WorkDir dir;
    std::unique_ptr<Devsim> com1;
    std::unique_ptr<Tfm_MainForm> form;
};

TEST_F(SetValue, FirstDeviceIsReadWithoutAClickAndAFailureClearsTheEdit)
{
    EXPECT_EQ(widget<QLabel>(*form, "edSVLabel")->text(), "锅炉--给定值");
    EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), "");

    widget<QPushButton>(*form, "btReadSV")->click();
    EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "数据读取成功!");
    EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), "-12.5");
    EXPECT_EQ(column3(1), "-12.5");

    // The earlier success does not carry over.
    com1->setFault("silent");
    widget<QPushButton>(*form, "btReadSV")->click();
    EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "数据读取失败!");
    EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), "");
    EXPECT_EQ(column3(1), "-12.5");
    EXPECT_EQ(setValueRequest().pending(), SetValueRequest::None);
}

// The product is taken of the decimal typed, not of its nearest double,
// which lies just below 1.13, -0.29 or 0.0029.
TEST_F(SetValue, WriteSendsTheTypedValueScaledAndTruncated)
{
    struct Case {
        int row;
        const char* typed;
        int received;  // the register's 16 bits
        const char* readBack;
    };
    for (const Case& c : {Case{2, "12.345", 1234, "12.34"}, Case{3, "40000", 0x9C40, "-25536"},
                          Case{1, "-12.5", 0xFF83, "-12.5"}, Case{2, "1.13", 113, "1.13"},
                          Case{2, "-0.29", 0xFFE3, "-0.29"}, Case{1, "12.38", 123, "12.3"},
                          Case{5, "0.0029", 29, "0.0029"}, Case{5, "-1.0009", 0xD8E7, "-1.0009"}}) {
        SCOPED_TRACE(c.typed);
        form->selectMeterRow(c.row);
        widget<QLineEdit>(*form, "edSV")->setText(c.typed);
        widget<QPushButton>(*form, "btSetSv")->click();
        EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "数据写入成功!");
        EXPECT_EQ(column3(c.row), c.typed);
        EXPECT_TRUE(eventually([&] { return !writes().empty() && writes().back() == std::pair{c.row, c.received}; }));

        widget<QPushButton>(*form, "btReadSV")->click();
        EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), c.readBack);
        EXPECT_EQ(column3(c.row), c.readBack);
    }
}

TEST_F(SetValue, DoubleClickReadsAndShowsThePanel)
{
    StringGrid& grid = *widget<StringGrid>(*form, "strgGrid_MeterList");
    mouseDoubleClick(grid.viewport(), cellCentre(grid, 1, 2));
    EXPECT_EQ(widget<QLabel>(*form, "edSVLabel")->text(), "泵--给定值");
    EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), "-1.25");
    EXPECT_EQ(column3(2), "-1.25");
    EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "状态");
    EXPECT_TRUE(form->plSV_Op->isVisibleTo(widget<QFrame>(*form, "pnl_MeterInfo")));
    EXPECT_EQ(form->plSV_Op->geometry(), widget<QFrame>(*form, "pnl_MeterInfo")->rect());

    widget<QPushButton>(*form, "btExitSvOp")->click();
    EXPECT_FALSE(form->plSV_Op->isVisibleTo(widget<QFrame>(*form, "pnl_MeterInfo")));
}

TEST_F(SetValue, DoubleClickOnTheHeadingOrBesideTheRowsReadsTheTarget)
{
    StringGrid& grid = *widget<StringGrid>(*form, "strgGrid_MeterList");
    QLineEdit& edit = *widget<QLineEdit>(*form, "edSV");
    form->selectMeterRow(2);
    const std::pair<QWidget*, QPoint> places[] = {{grid.horizontalHeader()->viewport(), inTheHeadingRow()},
                                                  {grid.viewport(), belowTheRows(grid)}};
    for (const auto& [target, at] : places) {
        SCOPED_TRACE(target == grid.viewport() ? "below the rows" : "heading row");
        widget<QPushButton>(*form, "btExitSvOp")->click();
        edit.setText("7");
        mouseDoubleClick(target, at);
        EXPECT_EQ(edit.text(), "-1.25");
        EXPECT_TRUE(form->plSV_Op->isVisibleTo(widget<QFrame>(*form, "pnl_MeterInfo")));
        EXPECT_EQ(grid.Row(), 2);
    }
}

TEST_F(SetValue, EthernetDeviceIsNeverServed)
{
    widget<StringGrid>(*form, "strgGrid_MeterList")->setCell(3, 4, "7");
    form->selectMeterRow(4);
    EXPECT_EQ(widget<QLabel>(*form, "edSVLabel")->text(), "水箱--给定值");
    EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), "7");

    widget<QPushButton>(*form, "btReadSV")->click();
    EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "数据读取失败!");
    EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), "");
    widget<QLineEdit>(*form, "edSV")->setText("3");
    widget<QPushButton>(*form, "btSetSv")->click();
    EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "数据写入失败!");
    EXPECT_EQ(column3(4), "7");
    EXPECT_TRUE(writes().empty());
}

TEST_F(SetValue, RefusedTextPostsNothing)
{
    struct Case {
        int row;
        const char* typed;
    };
    for (const Case& c : {Case{1, "abc"}, Case{3, "1e10"}}) {
        form->selectMeterRow(c.row);
        widget<QLineEdit>(*form, "edSV")->setText(c.typed);
        try {
            form->btSetSvClick();
            ADD_FAILURE() << c.typed << " taken";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(c.typed));
        }
        EXPECT_EQ(setValueRequest().pending(), SetValueRequest::None);
        EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "状态");
    }
    EXPECT_TRUE(writes().empty());
}

// Devices that answer a write only when the next one comes and refuse
// values above 1000.
class SetValueOnLateDevices : public SetValue {
protected:
    void SetUp() override
    {
        deviceBehaviour = {"--fault", "late-write", "--write-max", "1000"};
        SetValue::SetUp();
    }
};

// The refused write's first reply is the held-back echo of the one before,
// from the same device and well formed.
TEST_F(SetValueOnLateDevices, WriteTheDeviceRefusedIsNeverReportedDone)
{
    form->selectMeterRow(3);
    widget<QLineEdit>(*form, "edSV")->setText("5");
    widget<QPushButton>(*form, "btSetSv")->click();
    widget<QLineEdit>(*form, "edSV")->setText("2000");
    widget<QPushButton>(*form, "btSetSv")->click();
    EXPECT_EQ(widget<QLabel>(*form, "lbSvOpSta")->text(), "数据写入失败!");
    EXPECT_NE(column3(3), "2000");

    widget<QPushButton>(*form, "btReadSV")->click();
    EXPECT_EQ(widget<QLineEdit>(*form, "edSV")->text(), "5");
    EXPECT_EQ(column3(3), "5");
}

TEST_F(SetValue, ExitWithdrawsAPostedRequest)
{
    SetValueRequest& sv = setValueRequest();
    sv.SvPortHandle = PortHandle::invalid();
    sv.post(SetValueRequest::Read);
    widget<QPushButton>(*form, "btExitSvOp")->click();
    EXPECT_EQ(sv.pending(), SetValueRequest::None);
    EXPECT_FALSE(form->plSV_Op->isVisibleTo(widget<QFrame>(*form, "pnl_MeterInfo")));
}

}  // namespace
