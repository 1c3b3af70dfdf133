// The four loads: open a history file and show its first page, find a time
// range, and the next and previous page. Each reads the file inside its click
// handler, behind the progress panel, and undoes the chart's zoom at its end.
#include <QElapsedTimer>
#include <QFile>
#include <new>

#include "history/Form1.h"
#include "history/HistoryFileOpen.h"
#include "history/core/MemoryBudget.h"
#include "history/PanelColor.h"
#include "platform/DateTime.h"
#include "platform/MessageBox.h"
#include "ui_Form1.h"

namespace {

constexpr std::int64_t FirstRecordOffset = std::int64_t(HistoryHeaderSize);
constexpr int GaugeCheckRecords = 1024;
constexpr int GaugeRepaintMs = 40;

std::string localPath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

void showOutOfMemory()
{
    ShowMessage(QStringLiteral("时间范围太长, 内存不足!"));
}

} // namespace

void TForm1::but_open_histr_dataClick()
{
    if (open_histr_data.Execute(this))
        openHistoryFile(open_histr_data.FileName);
    ui->Button1->setEnabled(true);
    endLoad();
}

// "查找"
void TForm1::Button1Click()
{
    ui->DateTimer_give_date->setTimeOfDay(ui->DateTimer_give_time->value());
    const TDateTime start = ui->DateTimer_give_date->value();
    ui->DateTimePickerEndDate->setTimeOfDay(ui->DateTimePickerEndTime->value());
    const TDateTime end = ui->DateTimePickerEndDate->value();
    switch (Loads.checkFindRange(start, end)) {
    case HistoryLoads::FindRange::AboveEnd:
        ShowMessage(QStringLiteral("超出时间范围上限！"));
        return;
    case HistoryLoads::FindRange::BelowStart:
        ShowMessage(QStringLiteral("超出时间范围下限！"));
        return;
    case HistoryLoads::FindRange::StartAfterEnd:
        ShowMessage(QStringLiteral("开始时间大于结束时间!"));
        return;
    case HistoryLoads::FindRange::Inside:
        break;
    }
    findRange(start, end);
    endLoad();
}

void TForm1::Button_histr_nextClick()
{
    loadPage(true);
    endLoad();
}

void TForm1::Button_histr_backClick()
{
    loadPage(false);
    endLoad();
}

void TForm1::Series65AfterDrawValues()
{
    CrossX = -1;
    CrossY = -1;
}

void TForm1::openHistoryFile(const QString& path)
{
    HistoryFileReader file;
    if (!openForReading(file, localPath(path)))
        return;
    StatusPanels[0]->setText(path);
    showWideFileNote(file);
    const int length = Loads.beginOpen(localPath(path), file);
    ui->Label_histr_pagecount->setText(QStringLiteral("共%1页 第1页").arg(Loads.PageTotal));
    replaceSeries(file.shownChannelCount(), true, AfterDraw::EverySeries);
    BuildChannelRows(file.header());
    progressSetUp(length);
    const TDateTime pageEnd = timeAfterIntervals(Loads.HistStartTime, length, file.header().RecordInterval);
    ui->DateTimePickerEndDate->setValue(pageEnd);
    ui->DateTimePickerEndTime->setValue(pageEnd);
    const QString caption = Loads.rangeText(QStringLiteral("时间范围: "));
    const LoadOutcome outcome =
        readInto(file, length, Loads.HistStartTime, {ui->DateTimePickerEndDate->value(), PageRecords});
    Loads.endPage(file, outcome);
    ui->Button_histr_next->setEnabled(false);
    ui->Button_histr_back->setEnabled(false);
    ui->Button_histr_next->setEnabled(!outcome.metEnd);
    ui->DateTimer_give_date->setValue(Loads.HistStartTime);
    ui->DateTimer_give_time->setValue(Loads.HistStartTime);
    ui->lb_histr_time->setText(caption);
    ui->lb_histr_time->adjustSize();
    ui->CheckBox_allhisrt_curve->setEnabled(true);
    Busy = 0;
    ui->Button_expro_histr->setEnabled(true);
}

void TForm1::findRange(TDateTime start, TDateTime end)
{
    HistoryFileReader file;
    if (!openForReading(file, Loads.HistFilePath))
        return;
    Busy = 1;
    const std::int64_t intervals = wholeIntervals(start, end, file.header().RecordInterval);
    if (Loads.beginFind(file, start)) {
        // The range holds one or two records more than whole intervals.
        const std::int64_t capacity = std::min<std::uint64_t>(file.recordsFrom(file.position()),
                                                              std::uint64_t(std::max<std::int64_t>(intervals, 0)) + 2);
        const std::uint64_t held = loaded_ ? loaded_->bytesHeld() : 0;
        if (fitsInMemory(LoadColumns::bytesFor(file.shownChannelCount(), std::uint64_t(capacity)), held)) {
            replaceSeries(file.shownChannelCount(), true, AfterDraw::EverySeries);
            for (int j = 0; j < ui->Chart2->seriesCount() && j < rowCount(); ++j)
                ui->Chart2->series(j).setColor(panelColor(rowSwatch(j)));
            progressSetUp(gaugeCount(intervals));
            readInto(file, capacity, start, {end, 0});
        } else {
            showOutOfMemory();
        }
    }
    Busy = 0;
}

void TForm1::loadPage(bool next)
{
    HistoryFileReader file;
    if (!openForReading(file, Loads.HistFilePath))
        return;
    Busy = 1;
    if (next ? Loads.beginNextPage(file) : Loads.beginPreviousPage(file)) {
        const int length = pageLength(file);
        ui->Label_histr_pagecount->setText(QStringLiteral("共%1页 第%2页").arg(Loads.PageTotal).arg(Loads.PageCurrent));
        replaceSeries(file.shownChannelCount(), false, AfterDraw::FirstSeries);
        progressSetUp(length);
        const LoadOutcome outcome = readInto(file, length, Loads.PageNextTime, {std::nullopt, PageRecords});
        Loads.endPage(file, outcome);
        if (next) {
            ui->Button_histr_back->setEnabled(true);
            ui->Button_histr_next->setEnabled(!outcome.metEnd);
        } else {
            ui->Button_histr_next->setEnabled(true);
            ui->Button_histr_back->setEnabled(Loads.PageStartPos > FirstRecordOffset);
        }
    }
    Busy = 0;
}

void TForm1::replaceSeries(int count, bool titled, AfterDraw afterDraw)
{
    // The old points go before the new ones are read, so that two loads
    // never take memory at once; the next load may take their block again.
    ui->Chart2->removeAllSeries();
    spareColumns_ = LoadColumns::reclaim(std::move(loaded_));
    for (int j = 0; j < count; ++j) {
        ChartSeries& series = ui->Chart2->addSeries();
        if (titled)
            series.setTitle(ChannelAliases.text(j));
        if (afterDraw == AfterDraw::EverySeries || j == 0)
            series.setAfterDrawValues([this] { Series65AfterDrawValues(); });
    }
}

void TForm1::progressSetUp(int maximum)
{
    ui->Panel_histread_progress->setVisible(true);
    ui->Panel_histread_progress->raise();
    ui->CGauge1->setToolTip(QStringLiteral("正在读取历史数据请稍后！"));
    ui->CGauge1->setMaximum(maximum);
    ui->CGauge1->setValue(0);
    Loads.LoadedPoints = 0;
    ui->Panel_histread_progress->repaint();
}

void TForm1::endLoad()
{
    ui->Panel_histread_progress->hide();
    ui->Chart2->undoZoom();
}

LoadOutcome TForm1::readInto(HistoryFileReader& file, std::int64_t capacity, TDateTime start, const LoadStop& stop)
{
    std::shared_ptr<LoadColumns> columns;
    LoadOutcome outcome{start, true};
    // The gauge counts every record, but shows the count only every few
    // hundredths of a second: a repaint per record would cost more than the
    // reading itself.
    int progress = 0;
    QElapsedTimer sinceShown;
    sinceShown.start();
    const auto showProgress = [&] { ui->CGauge1->setValue(std::min(progress, ui->CGauge1->maximum())); };
    try {
        columns = std::make_shared<LoadColumns>(file.shownChannelCount(), capacity, std::move(spareColumns_));
        outcome = loadRecords(file, *columns, start, stop, [&] {
            ++progress;
            if (progress % GaugeCheckRecords == 0 && sinceShown.elapsed() >= GaugeRepaintMs) {
                showProgress();
                sinceShown.restart();
            }
        });
        showProgress();
    } catch (const std::bad_alloc&) {
        showOutOfMemory();
        return outcome;
    }
    Loads.LoadedPoints = columns->count();
    loaded_ = columns;
    // Series 0 is labelled with the records' times, written only when shown.
    const ColumnPoints::Labels times = [columns](int index) {
        return FormatDateTime(QStringLiteral("MM-DD HH:NN:SS"), columns->time(index));
    };
    for (int j = 0; j < ui->Chart2->seriesCount() && j < columns->channels(); ++j) {
        const std::shared_ptr<const float> values(columns, columns->column(j));
        ui->Chart2->series(j).showColumn(ColumnPoints(values, columns->count(), j == 0 ? times : nullptr));
    }
    return outcome;
}

void TForm1::showWideFileNote(const HistoryFileReader& file)
{
    const int count = file.channelCount();
    StatusPanels[1]->setText(count > MaxShownChannels
                                 ? QStringLiteral("共%1个通道, 只显示前%2个").arg(count).arg(MaxShownChannels)
                                 : QString());
}
