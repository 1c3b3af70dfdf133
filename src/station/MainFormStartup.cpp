#include <QDir>
#include <QPixmap>

#include "platform/IniFile.h"
#include "station/core/ConfigFile.h"
#include "station/MainFormWidgets.h"
#include "station/PictureFile.h"
#include "station/core/SmsSettingsFile.h"

QString Tfm_MainForm::BasePath(const QString& name) const
{
    return BaseDir + QLatin1Char('/') + name;
}

void Tfm_MainForm::LoadStartupSettings()
{
    QDir(BaseDir).mkdir(QStringLiteral("Res"));

    const IniFile station(BasePath(QStringLiteral("Res/MFPara.ini")));
    setWindowTitle(station.ReadString(QStringLiteral("MFPARA"), QStringLiteral("MFNAME"), QStringLiteral("Dcs")));

    ConfigFile::createWithDefaults(ConfigPath(), Devices.MeterCount, ConfigPassword);

    for (MeterRecord& meter : Devices.MeterRecords) {
        meter.ErrCount = 0;
        meter.Online = 0;
    }

    LoadSmsSettings();
    LoadFlowChart();
}

void Tfm_MainForm::LoadSmsSettings()
{
    const SmsPageSettings settings = SmsSettingsFile::load(BasePath(QStringLiteral("Res/GSM_Alarm.ini")));
    const SmsSettings& sms = settings.sms;
    ui->GSMcbAlarmEn->setChecked(settings.enabled);
    ui->GSMcbbCOM->setCurrentIndex(sms.portIndex);
    ui->GSMcbPWR_AlarmEn->setChecked(sms.powerAlarm);
    ui->GSMedAlarmPWR_CH->setText(sms.powerChannel);
    ui->GSMedAlarmDelayT->setText(sms.delay);
    ui->GSMedAlarmReload->setText(sms.reload);
    ui->GSMmeAlarmText->setPlainText(sms.alarmText);

    Alarm.startOver();

    for (int row = 1; row <= SmsPhoneRows; ++row) {
        ui->GSM_SG_PhoneNum->setCell(1, row, settings.phoneNames[row - 1]);
        ui->GSM_SG_PhoneNum->setCell(2, row, sms.phoneNumbers[row - 1]);
    }
}

void Tfm_MainForm::LoadFlowChart()
{
    const IniFile flowChart(BasePath(QStringLiteral("Res/FlowChart1.ini")));
    const QString picture = QStringLiteral("PICTURE");
    FlowChartPointNum = flowChart.ReadInteger(picture, QStringLiteral("PointNum"), 0);
    if (FlowChartPointNum <= 0)
        return;
    const QString fileName = flowChart.ReadString(picture, QStringLiteral("FileName"), QStringLiteral("FlowChart1.jpg"));
    ui->ImFlowChart1->setPixmap(QPixmap::fromImage(loadPictureFile(BasePath(QStringLiteral("Res/") + fileName))));
}

void Tfm_MainForm::SetPhoneGridHeadings()
{
    ui->GSM_SG_PhoneNum->setCell(0, 0, QStringLiteral("编号"));
    ui->GSM_SG_PhoneNum->setCell(1, 0, QStringLiteral("联系人"));
    ui->GSM_SG_PhoneNum->setCell(2, 0, QStringLiteral("手机号"));
    for (int row = 1; row <= SmsPhoneRows; ++row)
        ui->GSM_SG_PhoneNum->setCell(0, row, QString::number(row));
}
