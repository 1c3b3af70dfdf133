#include "history/Form2.h"

#include <QFile>
#include <algorithm>

#include "history/HistoryExport.h"
#include "history/HistoryFileOpen.h"
#include "platform/Colors.h"
#include "platform/Conversions.h"
#include "platform/MessageBox.h"

TForm2::TForm2(const HistoryLoads& loads, const std::uint8_t (&channelShown)[MaxShownChannels], QWidget* parent)
    : QDialog(parent), loads_(loads), channelShown_(channelShown)
{
    setupUi(this);
    // The pixel places of the controls are laid out for this font size.
    QFont small = font();
    small.setPixelSize(11);
    setFont(small);
    setFixedSize(size());
    QPalette gauge = CGauge1->palette();
    gauge.setColor(QPalette::Highlight, toQColor(clBackground));
    CGauge1->setPalette(gauge);
    SaveDialog_histr.Filter = QStringLiteral("Excel文件 (*.xls)");
    SaveDialog_histr.DefaultExt = QStringLiteral("xls");
    connect(Button1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

// "导 出 数 据"
void TForm2::Button1Click()
{
    DateTimePicker_histr_startdate->setTimeOfDay(DateTimePicker_histr_starttime->value());
    const TDateTime start = DateTimePicker_histr_startdate->value();
    DateTimePicker_histr_enddate->setTimeOfDay(DateTimePicker_histr_endtime->value());
    const TDateTime end = DateTimePicker_histr_enddate->value();
    if (loads_.checkFindRange(start, end) != HistoryLoads::FindRange::Inside) {
        ShowMessage(QStringLiteral("时间范围不正确！"));
        return;
    }
    // Taken once, before any file is touched: a bad count leaves no
    // half-written export behind.
    const int skip = StrToInt(Edit1->text());
    if (skip < 0) {
        ShowMessage(QStringLiteral("采样频率不能小于0!"));
        return;
    }
    HistoryFileReader file;
    if (!openForReading(file, loads_.HistFilePath))
        return;
    seekFirstExportRecord(file, loads_.HistStartTime, start);
    // A maximum of 0 would turn the gauge into a busy indicator.
    CGauge1->setMaximum(std::max(intervalsUpward(start, end, file.header().RecordInterval), 1));
    CGauge1->setValue(0);
    if (!SaveDialog_histr.Execute(this))
        return;
    int lines = 0;
    const ExportResult result = writeHistoryExport(
        file, QFile::encodeName(SaveDialog_histr.FileName).toStdString(), {start, end, skip}, channelShown_,
        [&] { CGauge1->setValue(std::min(++lines, CGauge1->maximum())); });
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
    CGauge1->setValue(0);
}
