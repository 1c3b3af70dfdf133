// The SMS alarm: the cycle's SMS step over the page "短信报警设置", and the
// page's "保存设置".
#include "platform/Conversions.h"
#include "platform/IniFile.h"
#include "station/GeneralView.h"
#include "station/GsmModulePort.h"
#include "station/MainForm.h"

void Tfm_MainForm::connectSmsHandlers()
{
    connect(btnGSM_SetSave, &QPushButton::clicked, this, &Tfm_MainForm::btnGSM_SetSaveClick);
}

SmsSettings Tfm_MainForm::smsSettings() const
{
    SmsSettings page;
    page.portIndex = GSMcbbCOM->currentIndex();
    page.powerAlarm = GSMcbPWR_AlarmEn->isChecked();
    page.powerChannel = GSMedAlarmPWR_CH->text();
    page.delay = GSMedAlarmDelayT->text();
    page.reload = GSMedAlarmReload->text();
    page.alarmText = GSMmeAlarmText->toPlainText();
    for (int row = 1; row <= SmsPhoneRows; ++row)
        page.phoneNumbers[row - 1] = GSM_SG_PhoneNum->Cells(2, row);
    return page;
}

// The channel lines repeat what the overview panels show in this tick.
void Tfm_MainForm::SmsAlarmStep()
{
    const SmsChannels channels{Devices.MeterRecords, Devices.MeterCount, [this](int g) {
                                   const GeneralViewPanel& panel = GeneralViewControls->panel(g);
                                   return SmsChannelTexts{panel.title, panel.valueText(), panel.unitText()};
                               }};
    lbYSJS->setText(Sms.alarmSecond(smsSettings(), channels, sendToGsmModule));
}

void Tfm_MainForm::btnGSM_SetSaveClick()
{
    const IniFile sms(BasePath(QStringLiteral("Res/GSM_Alarm.ini")));
    const QString gsm = QStringLiteral("GSM");
    sms.WriteBool(gsm, QStringLiteral("Enable"), GSMcbAlarmEn->isChecked());
    sms.WriteInteger(gsm, QStringLiteral("COM"), GSMcbbCOM->currentIndex());
    sms.WriteBool(gsm, QStringLiteral("PWR_ALARM"), GSMcbPWR_AlarmEn->isChecked());
    sms.WriteInteger(gsm, QStringLiteral("PWR_CH"), StrToInt(GSMedAlarmPWR_CH->text()));
    sms.WriteInteger(gsm, QStringLiteral("Delay"), StrToInt(GSMedAlarmDelayT->text()));
    sms.WriteInteger(gsm, QStringLiteral("Reload"), StrToInt(GSMedAlarmReload->text()));
    sms.WriteString(gsm, QStringLiteral("Text"), GSMmeAlarmText->toPlainText());

    const QString phoneList = QStringLiteral("PhoneList");
    for (int row = 1; row <= SmsPhoneRows; ++row) {
        sms.WriteString(phoneList, QStringLiteral("Name%1").arg(row), GSM_SG_PhoneNum->Cells(1, row));
        sms.WriteString(phoneList, QStringLiteral("Num%1").arg(row), GSM_SG_PhoneNum->Cells(2, row));
    }
}
