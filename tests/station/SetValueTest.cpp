#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <memory>
#include <string>
#include <vector>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "shared/SetValueRequest.h"
#include "station/StringGrid.h"
#include "support/DeviceSlots.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/GridClicks.h"
#include "support/GuiApp.h"
#include "support/StationDriver.h"

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
        addOnCom1("锅炉", 1, 1);
        addOnCom1("泵", 2, 2);
        addOnCom1("阀", 3, 0);
        addOnCom1("水箱", 1, 1).CommMod = 1;
        addOnCom1("罐", 5, 4);
        station.start();
    }

    void TearDown() override { station.close(); }

    MeterConfig& addOnCom1(const char* name, int address, int decimals)
    {
        MeterConfig& m = station.addDevice(namedDevice(QString::fromUtf8(name), {"CH1"}));
        m.MeterAddr = std::uint8_t(address);
        m.Channels[0].ChannelPoin = std::uint8_t(decimals);
        copyToField(m.IPAddr, "127.0.0.1");
        m.IPPort = freeLoopbackPort();
        return m;
    }

    void clickDevice(int row) { station.clickRow("strgGrid_MeterList", row); }
    QString column3(int row) const { return station.cell("strgGrid_MeterList", 3, row); }
    QString status() const { return station.widget<QLabel>("lbSvOpSta").text(); }
    bool panelShown() const
    {
        return station.widget<QWidget>("plSV_Op").isVisibleTo(&station.widget<QFrame>("pnl_MeterInfo"));
    }

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
    std::unique_ptr<Devsim> com1;
    StationDriver station;
};

TEST_F(SetValue, FirstDeviceIsReadWithoutAClickAndAFailureClearsTheEdit)
{
    EXPECT_EQ(station.widget<QLabel>("edSVLabel").text(), "锅炉--给定值");
    EXPECT_EQ(station.text("edSV"), "");

    station.click("btReadSV");
    EXPECT_EQ(status(), "数据读取成功!");
    EXPECT_EQ(station.text("edSV"), "-12.5");
    EXPECT_EQ(column3(1), "-12.5");

    // The earlier success does not carry over.
    com1->setFault("silent");
    station.click("btReadSV");
    EXPECT_EQ(status(), "数据读取失败!");
    EXPECT_EQ(station.text("edSV"), "");
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
        clickDevice(c.row);
        station.type("edSV", c.typed);
        station.click("btSetSv");
        EXPECT_EQ(status(), "数据写入成功!");
        EXPECT_EQ(column3(c.row), c.typed);
        EXPECT_TRUE(eventually([&] { return !writes().empty() && writes().back() == std::pair{c.row, c.received}; }));

        station.click("btReadSV");
        EXPECT_EQ(station.text("edSV"), c.readBack);
        EXPECT_EQ(column3(c.row), c.readBack);
    }
}

TEST_F(SetValue, DoubleClickReadsAndShowsThePanel)
{
    station.doubleClickRow("strgGrid_MeterList", 2);
    EXPECT_EQ(station.widget<QLabel>("edSVLabel").text(), "泵--给定值");
    EXPECT_EQ(station.text("edSV"), "-1.25");
    EXPECT_EQ(column3(2), "-1.25");
    EXPECT_EQ(status(), "状态");
    EXPECT_TRUE(panelShown());
    EXPECT_EQ(station.widget<QWidget>("plSV_Op").geometry(), station.widget<QFrame>("pnl_MeterInfo").rect());

    station.click("btExitSvOp");
    EXPECT_FALSE(panelShown());
}

TEST_F(SetValue, DoubleClickOnTheHeadingOrBesideTheRowsReadsTheTarget)
{
    StringGrid& grid = station.widget<StringGrid>("strgGrid_MeterList");
    QLineEdit& edit = station.widget<QLineEdit>("edSV");
    clickDevice(2);
    const std::pair<QWidget*, QPoint> places[] = {{grid.horizontalHeader()->viewport(), inTheHeadingRow()},
                                                  {grid.viewport(), belowTheRows(grid)}};
    for (const auto& [target, at] : places) {
        SCOPED_TRACE(target == grid.viewport() ? "below the rows" : "heading row");
        station.click("btExitSvOp");
        edit.setText("7");
        mouseDoubleClick(target, at);
        EXPECT_EQ(edit.text(), "-1.25");
        EXPECT_TRUE(panelShown());
        EXPECT_EQ(grid.Row(), 2);
    }
}

TEST_F(SetValue, EthernetDeviceIsNeverServed)
{
    station.widget<StringGrid>("strgGrid_MeterList").setCell(3, 4, "7");
    clickDevice(4);
    EXPECT_EQ(station.widget<QLabel>("edSVLabel").text(), "水箱--给定值");
    EXPECT_EQ(station.text("edSV"), "7");

    station.click("btReadSV");
    EXPECT_EQ(status(), "数据读取失败!");
    EXPECT_EQ(station.text("edSV"), "");
    station.type("edSV", "3");
    station.click("btSetSv");
    EXPECT_EQ(status(), "数据写入失败!");
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
        clickDevice(c.row);
        station.type("edSV", c.typed);
        try {
            station.window().btSetSvClick();
            ADD_FAILURE() << c.typed << " taken";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(c.typed));
        }
        EXPECT_EQ(setValueRequest().pending(), SetValueRequest::None);
        EXPECT_EQ(status(), "状态");
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
    clickDevice(3);
    station.type("edSV", "5");
    station.click("btSetSv");
    station.type("edSV", "2000");
    station.click("btSetSv");
    EXPECT_EQ(status(), "数据写入失败!");
    EXPECT_NE(column3(3), "2000");

    station.click("btReadSV");
    EXPECT_EQ(station.text("edSV"), "5");
    EXPECT_EQ(column3(3), "5");
}

TEST_F(SetValue, ExitWithdrawsAPostedRequest)
{
    SetValueRequest& sv = setValueRequest();
    sv.SvPortHandle = PortHandle::invalid();
    sv.post(SetValueRequest::Read);
    station.click("btExitSvOp");
    EXPECT_EQ(sv.pending(), SetValueRequest::None);
    EXPECT_FALSE(panelShown());
}

}  // namespace
