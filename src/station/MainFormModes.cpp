// Run mode and configuration mode, the login and the password change.
#include <QMetaObject>
#include <QTimer>

#include "platform/GuardedHandler.h"
#include "station/LoginForm.h"
#include "station/MainFormWidgets.h"
#include "station/ModifyPwForm.h"

void Tfm_MainForm::connectModeHandlers()
{
    connect(ui->btn_Login, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_LoginClick));
    connect(ui->btn_SignOut, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_SignOutClick));
    connect(ui->btn_ModifyPassword, &QPushButton::clicked, this, guarded(this, &Tfm_MainForm::btn_ModifyPasswordClick));
}

void Tfm_MainForm::postCommStatus(const QString& text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { StatusPanels[4]->setText(text); }, Qt::QueuedConnection);
}

void Tfm_MainForm::setConfigControlsEnabled(bool enabled)
{
    for (QPushButton* control : {ui->btn_ModifyPassword, ui->btn_SignOut, ui->btn_MeterBatchAdd, ui->btn_MeterAdd, ui->btn_MeterDel,
                                 ui->btn_MeterModify, ui->btn_MeterSave, ui->btn_ChannelAdd, ui->btn_ChannelDel, ui->btn_ChannelModify,
                                 ui->btn_ChannelSave})
        control->setEnabled(enabled);
}

// The lists, views and recording period are built before any thread starts,
// and the threads before the timer, so that the first tick finds them running.
void Tfm_MainForm::EnterRunMode()
{
    FillMeterList();
    BuildGeneralView();
    BuildCurvesSelectList();
    BuildCurveSeries();
    Comm.BuildPollLists(Devices);
    StartRecordPeriod();
    selectMeterRow(1);
    Comm.StartCommThreads(Devices);
    ui->chkBox_SelectAllCurves->setChecked(true);
    chkBox_SelectAllCurvesClick();
    setConfigControlsEnabled(false);
    timer_PerSecond->start();
    ui->plGSM_Alarm->setEnabled(false);
    Sms.reset();
}

// The timer stops before the threads do, so that no tick runs meanwhile.
void Tfm_MainForm::EnterConfigMode()
{
    timer_PerSecond->stop();
    setConfigControlsEnabled(true);
    ui->plGSM_Alarm->setEnabled(true);
    Comm.StopCommThreads();
}

void Tfm_MainForm::btn_LoginClick()
{
    Tfm_LoginForm form;
    form.ExpectedPassword = ConfigPassword;
    if (form.exec() != QDialog::Accepted)
        return;
    EnterConfigMode();
    ui->pgContr_MainForm->setCurrentWidget(ui->tabSheet_MeterInfo);
}

void Tfm_MainForm::btn_SignOutClick()
{
    EnterRunMode();
}

void Tfm_MainForm::btn_ModifyPasswordClick()
{
    Tfm_ModifyPwForm form;
    if (form.exec() != QDialog::Accepted)
        return;
    ConfigPassword = form.newPassword();
    SavePassword();
}
