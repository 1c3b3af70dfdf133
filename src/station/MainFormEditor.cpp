// The page "设备配置": the device and channel grids, their edits and the
// buttons that add, delete, change and save devices and channels.
#include <optional>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "platform/GuardedHandler.h"
#include "platform/MessageBox.h"
#include "station/core/ChannelLimit.h"
#include "station/GbkLengthValidator.h"
#include "station/MainFormWidgets.h"

namespace {

constexpr int MeterListColumns = 4;
constexpr int ChannelListColumns = 9;
constexpr int ColorColumn = 4;

// The edit's integer; none, once the refusal is shown, for a text that is not one.
std::optional<int> integerOf(const QLineEdit* edit, const char* refusal)
{
    try {
        return StrToInt(edit->text());
    } catch (const EConvertError&) {
        ShowErrorBox(refusal);
        return std::nullopt;
    }
}

QString limitText(float limit)
{
    return FloatToStrF(limit, 5, 3);
}

void limitBytes(QLineEdit* edit, int maxBytes)
{
    edit->setValidator(new GbkLengthValidator(maxBytes, edit));
}

// The baud rate belongs to the port, shared by every device on it.
void storePortBaudRate(DeviceTable& devices, int slot, const QComboBox& baudBox)
{
    devices.PortBaudTable[devices.MeterRecords[slot].CommSerial] = baudBox.currentIndex();
}

} // namespace

void Tfm_MainForm::setupMeterConfigPage()
{
    ui->strgGrid_MeterList->setColWidths({39, 100, 30, 64});
    ui->strgGrid_MeterList->setDefaultRowHeight(20);
    ui->strgGrid_MeterList->setRowCount(2);
    ui->strgGrid_MeterList->onDrawCell = [this](int col, int row, bool selected) {
        return strgGrid_MeterListDrawCell(col, row, selected);
    };
    ui->strgGrid_MeterChannelList->setColWidths({42, 125, 64, 64, 64, 64, 64, 64, 64});
    ui->strgGrid_MeterChannelList->setDefaultRowHeight(20);
    ui->strgGrid_MeterChannelList->setRowCount(2);
    ui->strgGrid_MeterChannelList->onDrawCell = [this](int col, int row, bool selected) {
        return strgGrid_MeterChannelListDrawCell(col, row, selected);
    };

    limitBytes(ui->ed_MeterName, sizeof(MeterConfig::MeterName) - 1);
    limitBytes(ui->ed_MeterIPAddr, sizeof(MeterConfig::IPAddr) - 1);
    limitBytes(ui->ed_ChannelName, sizeof(ChannelRecord::ChannelName) - 1);
    limitBytes(ui->ed_ChannelUnit, sizeof(ChannelRecord::ChannelUnit) - 1);

    connect(ui->strgGrid_MeterList, &StringGrid::clicked, this, guarded(this, &Tfm_MainForm::strgGrid_MeterListClick));
    connect(ui->strgGrid_MeterChannelList, &StringGrid::clicked, this,
            guarded(this, &Tfm_MainForm::strgGrid_MeterChannelListClick));
    connect(ui->btn_MeterAdd, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_MeterAddClick));
    connect(ui->btn_MeterDel, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_MeterDelClick));
    connect(ui->btn_MeterModify, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_MeterModifyClick));
    connect(ui->btn_MeterSave, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_MeterSaveClick));
    connect(ui->btn_ChannelAdd, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_ChannelAddClick));
    connect(ui->btn_ChannelDel, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_ChannelDelClick));
    connect(ui->btn_ChannelModify, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_ChannelModifyClick));
    connect(ui->btn_ChannelSave, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_ChannelSaveClick));
    connect(ui->btn_MeterBatchAdd, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_MeterBatchAddClick));
}

// --- grids -------------------------------------------------------------------

void Tfm_MainForm::FillMeterList()
{
    static const char* const headings[MeterListColumns] = {"串口", "设备名称", "地址", "给定值"};
    for (int col = 0; col < MeterListColumns; ++col)
        ui->strgGrid_MeterList->setCell(col, 0, QString::fromUtf8(headings[col]));
    const int count = Devices.MeterCount;
    ui->strgGrid_MeterList->setRowCount(count + 2);
    // Column 3 is the set value's: it stays with its row.
    for (int slot = 0; slot < count; ++slot) {
        const MeterRecord& meter = Devices.MeterRecords[slot];
        const int row = slot + 1;
        ui->strgGrid_MeterList->setCell(1, row, fromGbkField(meter.MeterName));
        ui->strgGrid_MeterList->setCell(2, row, QString::number(meter.MeterAddr));
        ui->strgGrid_MeterList->setCell(0, row, meter.CommMod == 0 ? ui->cboBox_MeterCommSerial->itemText(meter.CommSerial)
                                                               : ui->cbo_CommMod->itemText(1));
    }
    for (int col = 0; col < 3; ++col)
        ui->strgGrid_MeterList->setCell(col, count + 1, QString());
}

void Tfm_MainForm::FillChannelList(int slot)
{
    static const char* const headings[ChannelListColumns] = {
        "通道号", "通道名称", "小数点", "通道单位", "通道颜色", "下下限报警", "下限报警", "上限报警", "上上限报警"};
    for (int col = 0; col < ChannelListColumns; ++col)
        ui->strgGrid_MeterChannelList->setCell(col, 0, QString::fromUtf8(headings[col]));
    const MeterRecord& meter = Devices.MeterRecords[slot];
    const int count = meter.channelCount();
    ui->strgGrid_MeterChannelList->setRowCount(count + 2);
    for (int channel = 0; channel < count; ++channel) {
        const ChannelRecord& ch = meter.Channels[channel];
        const int row = channel + 1;
        const QString texts[ChannelListColumns] = {
            QString::number(row), fromGbkField(ch.ChannelName), QString::number(ch.ChannelPoin),
            fromGbkField(ch.ChannelUnit), "C", limitText(ch.ChannelLLA), limitText(ch.ChannelLA),
            limitText(ch.ChannelHA), limitText(ch.ChannelHHA)};
        for (int col = 0; col < ChannelListColumns; ++col)
            ui->strgGrid_MeterChannelList->setCell(col, row, texts[col]);
    }
    for (int col = 0; col < ChannelListColumns; ++col)
        ui->strgGrid_MeterChannelList->setCell(col, count + 1, QString());
}

int Tfm_MainForm::selectedMeterSlot() const
{
    const int row = ui->strgGrid_MeterList->Row();
    return row >= 1 && row <= Devices.MeterCount ? row - 1 : -1;
}

void Tfm_MainForm::selectMeterRow(int row)
{
    ui->strgGrid_MeterList->setRow(row);
    strgGrid_MeterListClick();
}

void Tfm_MainForm::selectChannelRow(int row)
{
    ui->strgGrid_MeterChannelList->setRow(row);
    strgGrid_MeterChannelListClick();
}

namespace {

// Row of the channel grid's selection when it shows a channel, else 0.
int selectedChannelRow(const StringGrid& grid)
{
    const int row = grid.Row();
    return row >= 1 && row <= grid.RowCount() - 2 ? row : 0;
}

} // namespace

void Tfm_MainForm::strgGrid_MeterListClick()
{
    const int slot = selectedMeterSlot();
    if (slot < 0)
        return;
    const int row = slot + 1;
    const MeterRecord& meter = Devices.MeterRecords[slot];

    const QString name = ui->strgGrid_MeterList->Cells(1, row);
    ui->ed_MeterName->setText(name);
    ui->grupBox_MeterChannelInfo->setTitle(name + ":通道信息");
    ui->ed_MeterAddr->setText(ui->strgGrid_MeterList->Cells(2, row));
    ui->ed_MeterIPAddr->setText(fromGbkField(meter.IPAddr));
    ui->ed_Port->setText(QString::number(meter.IPPort));
    ui->ed_MeterPreRecordTime->setText(QString::number(meter.PreRecordTime));
    ui->cbo_MeterCommStyle->setCurrentIndex(meter.CommStyle);
    ui->ed_CommStartReg->setText(QString::number(meter.CommStartReg));
    ui->cbo_CommMod->setCurrentIndex(meter.CommMod == 0 ? 0 : 1);
    ui->cboBox_MeterCommSerial->setCurrentIndex(meter.CommSerial);
    ui->cboBox_MeterCommBaundrate->setCurrentIndex(Devices.PortBaudTable[meter.CommSerial]);

    FillChannelList(slot);
    selectChannelRow(1);
    setSetValueTarget(slot);
}

void Tfm_MainForm::strgGrid_MeterChannelListClick()
{
    const int slot = selectedMeterSlot();
    const int row = selectedChannelRow(*ui->strgGrid_MeterChannelList);
    if (slot < 0 || row == 0)
        return;
    const ChannelRecord& ch = Devices.MeterRecords[slot].Channels[row - 1];
    ui->ed_ChannelName->setText(ui->strgGrid_MeterChannelList->Cells(1, row));
    ui->cboBox_ChannelPoin->setCurrentIndex(ch.ChannelPoin);
    ui->ed_ChannelUnit->setText(ui->strgGrid_MeterChannelList->Cells(3, row));
    ui->colorBox_ChannelColor->setSelected(ch.ChannelColor);
    // The limits come back in the grid's five-digit form.
    ui->ed_ChannelLLA->setText(ui->strgGrid_MeterChannelList->Cells(5, row));
    ui->ed_ChannelLA->setText(ui->strgGrid_MeterChannelList->Cells(6, row));
    ui->ed_ChannelHA->setText(ui->strgGrid_MeterChannelList->Cells(7, row));
    ui->ed_ChannelHHA->setText(ui->strgGrid_MeterChannelList->Cells(8, row));
}

GridCellPaint Tfm_MainForm::strgGrid_MeterListDrawCell(int col, int row, bool selected) const
{
    return ui->strgGrid_MeterList->defaultCellPaint(col, row, selected);
}

// Selected channel cells are not highlighted: the colour column must show
// the channel's colour whatever the selection.
GridCellPaint Tfm_MainForm::strgGrid_MeterChannelListDrawCell(int col, int row, bool) const
{
    const QColor black = toQColor(clBlack);
    if (row == 0)
        return {toQColor(clBtnFace), black};
    const int slot = selectedMeterSlot();
    if (col == ColorColumn && slot >= 0 && row <= ui->strgGrid_MeterChannelList->RowCount() - 2)
        return {toQColor(Devices.MeterRecords[slot].Channels[row - 1].ChannelColor), black};
    return {toQColor(clWhite), black};
}

// --- storing the edits -------------------------------------------------------

bool Tfm_MainForm::StoreMeterFields(int slot)
{
    MeterRecord& meter = Devices.MeterRecords[slot];
    const auto address = integerOf(ui->ed_MeterAddr, "请正确输入设备地址!");
    if (!address)
        return false;
    meter.MeterAddr = static_cast<std::uint8_t>(*address);
    const auto interval = integerOf(ui->ed_MeterPreRecordTime, "请正确输入记录间隔!");
    if (!interval)
        return false;
    meter.PreRecordTime = *interval;
    const auto startRegister = integerOf(ui->ed_CommStartReg, "请正确输入通讯起始地址!");
    if (!startRegister)
        return false;
    meter.CommStartReg = static_cast<std::uint16_t>(*startRegister);
    const auto port = integerOf(ui->ed_Port, "请正确输入通讯端口");
    if (!port)
        return false;
    meter.IPPort = *port;

    meter.CommStyle = static_cast<std::uint8_t>(ui->cbo_MeterCommStyle->currentIndex());
    meter.CommMod = static_cast<std::uint8_t>(ui->cbo_CommMod->currentIndex());
    meter.CommSerial = static_cast<std::uint8_t>(ui->cboBox_MeterCommSerial->currentIndex());
    copyToField(meter.IPAddr, ui->ed_MeterIPAddr->text());
    copyToField(meter.MeterName, ui->ed_MeterName->text());
    return true;
}

void Tfm_MainForm::StoreChannelFields(int slot, int channel)
{
    ChannelRecord& ch = Devices.MeterRecords[slot].Channels[channel];
    copyToField(ch.ChannelName, ui->ed_ChannelName->text());
    ch.ChannelPoin = static_cast<std::uint8_t>(ui->cboBox_ChannelPoin->currentIndex());
    ch.ChannelLLA = toChannelLimit(ui->ed_ChannelLLA->text());
    ch.ChannelLA = toChannelLimit(ui->ed_ChannelLA->text());
    ch.ChannelHA = toChannelLimit(ui->ed_ChannelHA->text());
    ch.ChannelHHA = toChannelLimit(ui->ed_ChannelHHA->text());
    copyToField(ch.ChannelUnit, ui->ed_ChannelUnit->text());
    ch.ChannelColor = ui->colorBox_ChannelColor->Selected();
}

// --- device buttons ----------------------------------------------------------

// The new device goes into the first free slot, which is not cleared: what
// the edits do not set keeps what the slot last held.
void Tfm_MainForm::btn_MeterAddClick()
{
    if (Devices.MeterCount >= MaxMeters) {
        ShowErrorBox("最多只能添加120台设备!");
        return;
    }
    const int slot = Devices.MeterCount;
    if (!StoreMeterFields(slot))
        return;
    storePortBaudRate(Devices, slot, *ui->cboBox_MeterCommBaundrate);
    MeterRecord& meter = Devices.MeterRecords[slot];
    meter.ChannelNum = 1;
    ChannelRecord& first = meter.Channels[0];
    copyToField(first.ChannelName, "CH" + QString::number(1));
    first.ChannelLLA = first.ChannelLA = first.ChannelHA = first.ChannelHHA = 0;
    ++Devices.MeterCount;
    FillMeterList();
    selectMeterRow(Devices.MeterCount);
}

void Tfm_MainForm::btn_MeterDelClick()
{
    const int slot = selectedMeterSlot();
    if (slot < 0)
        return;
    // Whole records move, run-time part included; the slot that falls out of
    // use keeps a copy of what was last in it.
    for (int i = slot; i + 1 < Devices.MeterCount; ++i)
        Devices.MeterRecords[i] = Devices.MeterRecords[i + 1];
    --Devices.MeterCount;
    FillMeterList();
    selectMeterRow(slot + 1);
}

void Tfm_MainForm::btn_MeterModifyClick()
{
    const int slot = selectedMeterSlot();
    if (slot < 0)
        return;
    // After a refusal the rate goes to the device's former port.
    StoreMeterFields(slot);
    storePortBaudRate(Devices, slot, *ui->cboBox_MeterCommBaundrate);
    FillMeterList();
    selectMeterRow(slot + 1);
}

void Tfm_MainForm::btn_MeterSaveClick()
{
    SaveMeterConfig();
    SavePortBaudTable();
}

// --- channel buttons ---------------------------------------------------------

void Tfm_MainForm::btn_ChannelAddClick()
{
    const int slot = selectedMeterSlot();
    if (slot < 0)
        return;
    MeterRecord& meter = Devices.MeterRecords[slot];
    const int count = meter.channelCount();
    if (count >= MaxChannels) {
        ShowErrorBox("每台设备最多48通道!");
        return;
    }
    StoreChannelFields(slot, count);
    meter.ChannelNum = static_cast<std::uint8_t>(count + 1);
    FillChannelList(slot);
    selectChannelRow(count + 1);
}

void Tfm_MainForm::btn_ChannelDelClick()
{
    const int slot = selectedMeterSlot();
    if (slot < 0)
        return;
    MeterRecord& meter = Devices.MeterRecords[slot];
    const int count = meter.channelCount();
    const int row = selectedChannelRow(*ui->strgGrid_MeterChannelList);
    if (count <= 1 || row == 0 || row > count) {
        ShowErrorBox("通道不可删除, 每台设备至少要有一个通道!");
        return;
    }
    // The polled values are left where they are: the next poll writes them
    // to the channels' new places anyway.
    for (int i = row - 1; i + 1 < count; ++i)
        meter.Channels[i] = meter.Channels[i + 1];
    meter.ChannelNum = static_cast<std::uint8_t>(count - 1);
    FillChannelList(slot);
    selectChannelRow(row);
}

void Tfm_MainForm::btn_ChannelModifyClick()
{
    const int slot = selectedMeterSlot();
    if (slot < 0)
        return;
    const int selected = ui->strgGrid_MeterChannelList->Row();
    if (selectedChannelRow(*ui->strgGrid_MeterChannelList) != 0)
        StoreChannelFields(slot, selected - 1);
    FillChannelList(slot);
    selectChannelRow(selected);
}

void Tfm_MainForm::btn_ChannelSaveClick()
{
    SaveMeterConfig();
}
