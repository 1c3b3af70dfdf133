// A recording period: new history and alarm-record files, alarm side reset.
#include "shared/ChannelOrder.h"
#include "station/core/AlarmLevels.h"
#include "station/MainFormWidgets.h"
#include "station/core/RecordFolders.h"

void Tfm_MainForm::StartRecordPeriod()
{
    const char* headings[AlarmRecordColumns] = {"设备名", "通道名", "报警类型", "开始时间", "结束时间"};
    for (int c = 0; c < AlarmRecordColumns; ++c)
        ui->strgGrid_AlarmRecList->setCell(c, 0, headings[c]);
    ui->strgGrid_AlarmRecList->setRowCount(1);

    const TDateTime startTime = Now();
    MeterRecord* meters = Devices.MeterRecords;
    forEachChannel(meters, Devices.MeterCount, [&](int k, int j, int) {
        for (int level = 0; level < AlarmLevelCount; ++level) {
            (meters[k].*AlarmLevels[level].flags)[j] = 0;
            OpenAlarmRows[k][level][j] = 0;
        }
    });
    auto header = makeHistoryHeader(startTime, meters[0].PreRecordTime, meters, Devices.MeterCount);

    // The names come from a second reading, which may lie a second later.
    const RecordPeriodPaths paths = recordPeriodPaths(BaseDir.toStdString(), Now());
    ensureFolder(paths.monthFolder);
    History.start(BaseDir.toStdString(), paths.historyPath, std::move(header));
    AlarmRecords.create(paths.alarmPath);
    WriteAlarmRecordRow(0);
}
