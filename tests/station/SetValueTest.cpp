#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "shared/SetValueRequest.h"
#include "station/MainForm.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/GridClicks.h"
#include "support/GuiApp.h"
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

// A station in run mode with three serial devices on COM1 (addresses 1, 2
// and 3, with 1, 2 and 0 decimal places) and an Ethernet device that has
// address 1 and COM1 in its record, so that only its mode keeps it off COM1.
class SetValue : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        com1 = Devsim::onPty(comLink(1), {"--address", "1,2,3", "--values", registersWithSetValue()});
        form = std::make_unique<Tfm_MainForm>();
        form->EnterConfigMode();
        addDevice(0, "锅炉", 1, 1);
        addDevice(1, "泵", 2, 2);
        addDevice(2, "阀", 3, 0);
        addDevice(3, "水箱", 1, 1).CommMod = 1;
        form->Devices.MeterCount = 4;
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

    QString column3(int row) const { return form->strgGrid_MeterList->Cells(3, row); }

    // Set-value writes the simulated slaves received, as address and value.
    std::vector<std::pair<int, int>> writes() const
    {
        std::vector<std::pair<int, int>> result;
        for (const DevsimRequest& r : com1->requests())
            if (r.function == 6 && r.reg == SetValueRegister)
                result.emplace_back(r.address, r.value);
        return result;
    }

    WorkDir dir;
    std::unique_ptr<Devsim> com1;
    std::unique_ptr<Tfm_MainForm> form;
};

TEST_F(SetValue, FirstDeviceIsReadWithoutAClickAndAFailureClearsTheEdit)
{
    EXPECT_EQ(form->edSVLabel->text(), "锅炉--给定值");
    EXPECT_EQ(form->edSV->text(), "");

    form->btReadSV->click();
    EXPECT_EQ(form->lbSvOpSta->text(), "数据读取成功!");
    EXPECT_EQ(form->edSV->text(), "-12.5");
    EXPECT_EQ(column3(1), "-12.5");

    // The earlier success does not carry over.
    com1->setFault("silent");
    form->btReadSV->click();
    EXPECT_EQ(form->lbSvOpSta->text(), "数据读取失败!");
    EXPECT_EQ(form->edSV->text(), "");
    EXPECT_EQ(column3(1), "-12.5");
    EXPECT_EQ(setValueRequest().pending(), SetValueRequest::None);
}

TEST_F(SetValue, WriteSendsTheTypedValueScaledAndTruncated)
{
    struct Case {
        int row;
        const char* typed;
        int received;  // the register's 16 bits
        const char* readBack;
    };
    for (const Case& c : {Case{2, "12.345", 1234, "12.34"}, Case{3, "40000", 0x9C40, "-25536"},
                          Case{1, "-12.5", 0xFF83, "-12.5"}}) {
        SCOPED_TRACE(c.typed);
        form->selectMeterRow(c.row);
        form->edSV->setText(c.typed);
        form->btSetSv->click();
        EXPECT_EQ(form->lbSvOpSta->text(), "数据写入成功!");
        EXPECT_EQ(column3(c.row), c.typed);
        EXPECT_TRUE(eventually([&] { return !writes().empty() && writes().back() == std::pair{c.row, c.received}; }));

        form->btReadSV->click();
        EXPECT_EQ(form->edSV->text(), c.readBack);
        EXPECT_EQ(column3(c.row), c.readBack);
    }
}

TEST_F(SetValue, DoubleClickReadsAndShowsThePanel)
{
    StringGrid& grid = *form->strgGrid_MeterList;
    mouseDoubleClick(grid.viewport(), cellCentre(grid, 1, 2));
    EXPECT_EQ(form->edSVLabel->text(), "泵--给定值");
    EXPECT_EQ(form->edSV->text(), "-1.25");
    EXPECT_EQ(column3(2), "-1.25");
    EXPECT_EQ(form->lbSvOpSta->text(), "状态");
    EXPECT_TRUE(form->plSV_Op->isVisibleTo(form->pnl_MeterInfo));
    EXPECT_EQ(form->plSV_Op->geometry(), form->pnl_MeterInfo->rect());

    form->btExitSvOp->click();
    EXPECT_FALSE(form->plSV_Op->isVisibleTo(form->pnl_MeterInfo));
}

TEST_F(SetValue, DoubleClickOnTheHeadingOrBesideTheRowsReadsTheTarget)
{
    StringGrid& grid = *form->strgGrid_MeterList;
    form->selectMeterRow(2);
    const std::pair<QWidget*, QPoint> places[] = {{grid.horizontalHeader()->viewport(), inTheHeadingRow()},
                                                  {grid.viewport(), belowTheRows(grid)}};
    for (const auto& [widget, at] : places) {
        SCOPED_TRACE(widget == grid.viewport() ? "below the rows" : "heading row");
        form->btExitSvOp->click();
        form->edSV->setText("7");
        mouseDoubleClick(widget, at);
        EXPECT_EQ(form->edSV->text(), "-1.25");
        EXPECT_TRUE(form->plSV_Op->isVisibleTo(form->pnl_MeterInfo));
        EXPECT_EQ(grid.Row(), 2);
    }
}

TEST_F(SetValue, EthernetDeviceIsNeverServed)
{
    form->strgGrid_MeterList->setCell(3, 4, "7");
    form->selectMeterRow(4);
    EXPECT_EQ(form->edSVLabel->text(), "水箱--给定值");
    EXPECT_EQ(form->edSV->text(), "7");

    form->btReadSV->click();
    EXPECT_EQ(form->lbSvOpSta->text(), "数据读取失败!");
    EXPECT_EQ(form->edSV->text(), "");
    form->edSV->setText("3");
    form->btSetSv->click();
    EXPECT_EQ(form->lbSvOpSta->text(), "数据写入失败!");
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
        form->edSV->setText(c.typed);
        try {
            form->btSetSvClick();
            ADD_FAILURE() << c.typed << " taken";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid floating point value").arg(c.typed));
        }
        EXPECT_EQ(setValueRequest().pending(), SetValueRequest::None);
        EXPECT_EQ(form->lbSvOpSta->text(), "状态");
    }
    EXPECT_TRUE(writes().empty());
}

TEST_F(SetValue, ExitWithdrawsAPostedRequest)
{
    SetValueRequest& sv = setValueRequest();
    sv.SvPortHandle = PortHandle::invalid();
    sv.post(SetValueRequest::Read);
    form->btExitSvOp->click();
    EXPECT_EQ(sv.pending(), SetValueRequest::None);
    EXPECT_FALSE(form->plSV_Op->isVisibleTo(form->pnl_MeterInfo));
}

}  // namespace
