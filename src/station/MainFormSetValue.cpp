// The set value of a serial device (its register 31), read and written from
// the device list through the polling thread of the device's port.
#include "platform/Gbk.h"
#include "platform/GuardedHandler.h"
#include "shared/SetValueRequest.h"
#include "station/MainFormWidgets.h"
#include "station/core/SetValueExchange.h"
#include "station/core/SetValueScale.h"

namespace {

constexpr int SetValueColumn = 3;

}  // namespace

void Tfm_MainForm::setupSetValuePanel()
{
    plSV_Op = new QWidget(ui->pnl_MeterInfo);
    ui->Ui::SetValuePanel::setupUi(plSV_Op);
    plSV_Op->hide();
    connect(ui->strgGrid_MeterList, &StringGrid::dblClicked, this,
            guarded(this, &Tfm_MainForm::strgGrid_MeterListDblClick));
    connect(ui->btReadSV, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btReadSVClick));
    connect(ui->btSetSv, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btSetSvClick));
    connect(ui->btExitSvOp, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btExitSvOpClick));
}

void Tfm_MainForm::setSetValueTarget(int slot)
{
    SetValueRequest& sv = setValueRequest();
    const MeterRecord& meter = Devices.MeterRecords[slot];
    sv.SvMeterAddr = meter.MeterAddr;
    sv.SvDecimals = meter.Channels[0].ChannelPoin;
    sv.SvMeterIndex = slot;
    ui->edSVLabel->setText(fromGbkField(meter.MeterName) + "--给定值");
    ui->edSV->setText(ui->strgGrid_MeterList->Cells(SetValueColumn, slot + 1));
}

bool Tfm_MainForm::readSetValue()
{
    SetValueRequest& sv = setValueRequest();
    ui->edSV->clear();
    if (!exchangeSetValue(sv, SetValueRequest::Read, setValuePort(Devices, sv.SvMeterIndex)))
        return false;
    const QString text = setValueText(sv.SvValue, sv.SvDecimals);
    ui->edSV->setText(text);
    ui->strgGrid_MeterList->setCell(SetValueColumn, sv.SvMeterIndex + 1, text);
    return true;
}

// The row's click has set the target already.
void Tfm_MainForm::strgGrid_MeterListDblClick()
{
    readSetValue();
    plSV_Op->setGeometry(ui->pnl_MeterInfo->rect());
    plSV_Op->raise();
    plSV_Op->show();
}

void Tfm_MainForm::btReadSVClick()
{
    ui->lbSvOpSta->setText(readSetValue() ? "数据读取成功!" : "数据读取失败!");
}

// A text that is no number, or none the register can take, ends the handler
// with the conversion error before anything is posted.
void Tfm_MainForm::btSetSvClick()
{
    SetValueRequest& sv = setValueRequest();
    const QString typed = ui->edSV->text();
    const std::int16_t raw = rawSetValue(typed, sv.SvDecimals);
    const bool written = exchangeSetValue(sv, SetValueRequest::Write, setValuePort(Devices, sv.SvMeterIndex), raw);
    if (written)
        ui->strgGrid_MeterList->setCell(SetValueColumn, sv.SvMeterIndex + 1, typed);
    ui->lbSvOpSta->setText(written ? "数据写入成功!" : "数据写入失败!");
}

void Tfm_MainForm::btExitSvOpClick()
{
    plSV_Op->hide();
    setValueRequest().withdraw();
}
