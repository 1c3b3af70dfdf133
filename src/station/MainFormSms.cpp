// The SMS alarm: the cycle's SMS step over the page "短信报警设置", and the
// page's "保存设置".
#include "platform/GuardedHandler.h"
#include "station/GeneralView.h"
#include "station/core/GsmModulePort.h"
#include "station/MainFormWidgets.h"
#include "station/core/SmsSettingsFile.h"

void Tfm_MainForm::connectSmsHandlers()
{
    connect(ui->btnGSM_SetSave, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btnGSM_SetSaveClick));
}

SmsSettings Tfm_MainForm::smsSettings() const
{
    SmsSettings page;
    page.portIndex = ui->GSMcbbCOM->currentIndex();
    page.powerAlarm = ui->GSMcbPWR_AlarmEn->isChecked();
    page.powerChannel = ui->GSMedAlarmPWR_CH->text();
    page.delay = ui->GSMedAlarmDelayT->text();
    page.reload = ui->GSMedAlarmReload->text();
    page.alarmText = ui->GSMmeAlarmText->toPlainText();
    for (int row = 1; row <= SmsPhoneRows; ++row)
        page.phoneNumbers[row - 1] = ui->GSM_SG_PhoneNum->Cells(2, row);
    return page;
}

// The channel lines repeat what the overview panels show in this tick.
void Tfm_MainForm::SmsAlarmStep()
{
    const SmsChannels channels{Devices.MeterRecords, Devices.MeterCount, [this](int g) {
                                   const GeneralViewPanel& panel = GeneralViewControls->panel(g);
                                   return SmsChannelTexts{panel.title, panel.valueText(), panel.unitText()};
                               }};
    ui->lbYSJS->setText(Sms.alarmSecond(smsSettings(), channels, sendToGsmModule));
}

void Tfm_MainForm::btnGSM_SetSaveClick()
{
    SmsPageSettings settings;
    settings.enabled = ui->GSMcbAlarmEn->isChecked();
    settings.sms = smsSettings();
    for (int row = 1; row <= SmsPhoneRows; ++row)
        settings.phoneNames[row - 1] = ui->GSM_SG_PhoneNum->Cells(1, row);
    SmsSettingsFile::save(BasePath(QStringLiteral("Res/GSM_Alarm.ini")), settings);
}
