#include "history/Form2.h"

#include <QFile>
#include <algorithm>

#include "history/core/HistoryExport.h"
#include "history/HistoryFileOpen.h"
#include "platform/Colors.h"
#include "platform/Conversions.h"
#include "platform/GuardedHandler.h"
#include "platform/MessageBox.h"
#include "ui_Form2.h"

TForm2::TForm2(const HistoryLoads& loads, const std::uint8_t (&channelShown)[MaxShownChannels], QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TForm2>()), loads_(loads), channelShown_(channelShown)
{
    ui->setupUi(this);
    // The pixel places of the controls are laid out for this font size.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(size());
    QPalette gauge = ui->CGauge1->palette();
    gauge.setColor(QPalette::Highlight, toQColor(clBackground));
    ui->CGauge1->setPalette(gauge);
    SaveDialog_histr.Filter = QStringLiteral("Excel文件 (*.xls)");
    SaveDialog_histr.DefaultExt = QStringLiteral("xls");
    connect(ui->Button1, &QPushButton::clicked, this, guarded(this, &TForm2::Button1Click));
    showRange();
}

TForm2::~TForm2() = default;

// The whole of the open file is the range offered.
void TForm2::showRange()
{
    ui->Label_histr_timerange->setText(loads_.rangeText(QStringLiteral("有效时间范围：")));
    ui->DateTimePicker_histr_startdate->setValue(loads_.HistStartTime);
    ui->DateTimePicker_histr_starttime->setValue(loads_.HistStartTime);
    ui->DateTimePicker_histr_enddate->setValue(loads_.HistEndTime);
    ui->DateTimePicker_histr_endtime->setValue(loads_.HistEndTime);
}

// "导 出 数 据"
void TForm2::Button1Click()
{
    ui->DateTimePicker_histr_startdate->setTimeOfDay(ui->DateTimePicker_histr_starttime->value());
    const TDateTime start = ui->DateTimePicker_histr_startdate->value();
    ui->DateTimePicker_histr_enddate->setTimeOfDay(ui->DateTimePicker_histr_endtime->value());
    const TDateTime end = ui->DateTimePicker_histr_enddate->value();
    if (loads_.checkFindRange(start, end) != HistoryLoads::FindRange::Inside) {
        ShowMessage(QStringLiteral("时间范围不正确！"));
        return;
    }
    // Taken once, before any file is touched: a bad count leaves no
    // half-written export behind.
    const int skip = StrToInt(ui->Edit1->text());
    if (skip < 0) {
        ShowMessage(QStringLiteral("采样频率不能小于0!"));
        return;
    }
    HistoryFileReader file;
    if (!openForReading(file, loads_.HistFilePath))
        return;
    seekFirstExportRecord(file, loads_.HistStartTime, start);
    // A maximum of 0 would turn the gauge into a busy indicator.
    ui->CGauge1->setMaximum(std::max(gaugeCount(intervalsUpward(start, end, file.header().RecordInterval)), 1));
    ui->CGauge1->setValue(0);
    if (!SaveDialog_histr.Execute(this))
        return;
    std::int64_t lines = 0;
    const ExportResult result = writeHistoryExport(
        file, QFile::encodeName(SaveDialog_histr.FileName).toStdString(), {start, end, skip}, channelShown_,
        [&] { ui->CGauge1->setValue(std::min(gaugeCount(++lines), ui->CGauge1->maximum())); });
    switch (result) {
    case ExportResult::CannotCreate:
        ShowMessage(QStringLiteral("无法创建导出文件!"));
        return;
    case ExportResult::WriteFailed:
        ShowMessage(QStringLiteral("导出文件写入失败!"));
        break;
    case ExportResult::Done:
        ShowMessage(QStringLiteral("数据导出完成！"));
        break;
    }
    ui->CGauge1->setValue(0);
}
