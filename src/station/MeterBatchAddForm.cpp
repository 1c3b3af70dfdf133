#include "station/MeterBatchAddForm.h"

#include "platform/Conversions.h"
#include "platform/GuardedHandler.h"
#include "platform/MessageBox.h"
#include "shared/MeterRecord.h"
#include "station/core/ChannelLimit.h"
#include "ui_MeterBatchAddForm.h"

Tfm_MeterBatchAddForm::Tfm_MeterBatchAddForm(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::Tfm_MeterBatchAddForm>())
{
    ui->setupUi(this);
    setFixedSize(size());
    for (int port = 1; port <= MaxComPorts; ++port)
        ui->cboBox_MeterCommSerial->addItem(QStringLiteral("COM%1").arg(port));
    connect(ui->bt_Ok, &QPushButton::clicked, this, guarded(this, &Tfm_MeterBatchAddForm::bt_OkClick));
    connect(ui->bt_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfm_MeterBatchAddForm::~Tfm_MeterBatchAddForm() = default;

MeterBatch Tfm_MeterBatchAddForm::batch() const
{
    MeterBatch b;
    b.MeterCount = StrToInt(ui->ed_MeterAddCount->text());
    b.ChannelCount = StrToInt(ui->ed_MeterChCount->text());
    b.StartAddr = StrToInt(ui->ed_MeterAddr->text());
    b.PreRecordTime = StrToInt(ui->ed_MeterPreRecordTime->text());
    b.StartReg = StrToInt(ui->ed_CommStartReg->text());
    b.IPPort = StrToInt(ui->ed_Port->text());
    b.ChannelLLA = toChannelLimit(ui->ed_ChannelLLA->text());
    b.ChannelLA = toChannelLimit(ui->ed_ChannelLA->text());
    b.ChannelHA = toChannelLimit(ui->ed_ChannelHA->text());
    b.ChannelHHA = toChannelLimit(ui->ed_ChannelHHA->text());
    b.CommStyle = static_cast<std::uint8_t>(ui->cbo_MeterCommStyle->currentIndex());
    b.CommMod = static_cast<std::uint8_t>(ui->cbo_CommMod->currentIndex());
    b.CommSerial = static_cast<std::uint8_t>(ui->cboBox_MeterCommSerial->currentIndex());
    b.ChannelPoin = static_cast<std::uint8_t>(ui->cboBox_ChannelPoin->currentIndex());
    b.MeterName = ui->ed_MeterName->text();
    b.ChannelName = ui->ed_ChName->text();
    b.IPAddr = ui->ed_MeterIPAddr->text();
    b.ChannelUnit = ui->ed_ChannelUnit->text();
    return b;
}

void Tfm_MeterBatchAddForm::bt_OkClick()
{
    QString refusal;
    try {
        refusal = meterBatchRefusal(batch(), ExistingMeterCount);
    } catch (const EConvertError&) {
        refusal = QStringLiteral("请正确输入数值!");
    }
    if (!refusal.isEmpty()) {
        ShowErrorBox(refusal);
        return;
    }
    accept();
}
