// Alarm records: a grid row per occurrence of an alarm level on a channel,
// mirrored into the period's alarm-record file.
#include "platform/Gbk.h"
#include "station/core/AlarmLevels.h"
#include "station/MainFormWidgets.h"

void Tfm_MainForm::UpdateAlarmRecords(int k, int j, const QString& timeText)
{
    const MeterRecord& meter = Devices.MeterRecords[k];
    if (meter.Online != 1)
        return;
    for (int level = 0; level < AlarmLevelCount; ++level) {
        const bool flag = alarmFlag(meter, level, j);
        std::int32_t& openRow = OpenAlarmRows[k][level][j];
        if (flag == (openRow != 0))
            continue;
        if (flag) {
            openRow = ui->strgGrid_AlarmRecList->RowCount();
            ui->strgGrid_AlarmRecList->setRowCount(openRow + 1);
            ui->strgGrid_AlarmRecList->setCell(0, openRow, fromGbkField(meter.MeterName));
            ui->strgGrid_AlarmRecList->setCell(1, openRow, fromGbkField(meter.Channels[j].ChannelName));
            ui->strgGrid_AlarmRecList->setCell(2, openRow, AlarmLevels[level].typeText);
            ui->strgGrid_AlarmRecList->setCell(3, openRow, timeText);
            WriteAlarmRecordRow(openRow);
        } else {
            ui->strgGrid_AlarmRecList->setCell(4, openRow, timeText);
            WriteAlarmRecordRow(openRow);
            openRow = 0;
        }
    }
}

void Tfm_MainForm::WriteAlarmRecordRow(int r)
{
    AlarmRecordCells cells;
    for (int c = 0; c < AlarmRecordColumns; ++c)
        cells[c] = toGbk(ui->strgGrid_AlarmRecList->Cells(c, r)).toStdString();
    AlarmRecords.writeRow(r, cells);
}
