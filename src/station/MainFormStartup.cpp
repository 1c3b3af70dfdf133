#include <QDir>
#include <QPixmap>

#include "platform/IniFile.h"
#include "station/ConfigFile.h"
#include "station/MainForm.h"
#include "station/PictureFile.h"

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
    const IniFile sms(BasePath(QStringLiteral("Res/GSM_Alarm.ini")));
    const QString gsm = QStringLiteral("GSM");
    GSMcbAlarmEn->setChecked(sms.ReadBool(gsm, QStringLiteral("Enable"), false));
    GSMcbbCOM->setCurrentIndex(sms.ReadInteger(gsm, QStringLiteral("COM"), 0));
    GSMcbPWR_AlarmEn->setChecked(sms.ReadBool(gsm, QStringLiteral("PWR_ALARM"), false));
    GSMedAlarmPWR_CH->setText(sms.ReadString(gsm, QStringLiteral("PWR_CH"), QStringLiteral("1")));
    GSMedAlarmDelayT->setText(sms.ReadString(gsm, QStringLiteral("Delay"), QStringLiteral("10")));
    GSMedAlarmReload->setText(sms.ReadString(gsm, QStringLiteral("Reload"), QStringLiteral("60")));
    GSMmeAlarmText->setPlainText(sms.ReadString(gsm, QStringLiteral("Text"), QStringLiteral("ALARM!")));

    Alarm.startOver();

    const QString phoneList = QStringLiteral("PhoneList");
    for (int row = 1; row <= SmsPhoneRows; ++row) {
        GSM_SG_PhoneNum->setCell(1, row, sms.ReadString(phoneList, QStringLiteral("Name%1").arg(row), QString()));
        GSM_SG_PhoneNum->setCell(2, row, sms.ReadString(phoneList, QStringLiteral("Num%1").arg(row), QString()));
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
    ImFlowChart1->setPixmap(QPixmap::fromImage(loadPictureFile(BasePath(QStringLiteral("Res/") + fileName))));
}

void Tfm_MainForm::SetPhoneGridHeadings()
{
    GSM_SG_PhoneNum->setCell(0, 0, QStringLiteral("编号"));
    GSM_SG_PhoneNum->setCell(1, 0, QStringLiteral("联系人"));
    GSM_SG_PhoneNum->setCell(2, 0, QStringLiteral("手机号"));
    for (int row = 1; row <= SmsPhoneRows; ++row)
        GSM_SG_PhoneNum->setCell(0, row, QString::number(row));
}
