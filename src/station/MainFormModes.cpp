// Run mode and configuration mode, the login and the password change.
#include <QMetaObject>
#include <QTimer>

#include "station/LoginForm.h"
#include "station/MainForm.h"
#include "station/ModifyPwForm.h"

void Tfm_MainForm::connectModeHandlers()
{
    connect(btn_Login, &QPushButton::clicked, this, &Tfm_MainForm::btn_LoginClick);
    connect(btn_SignOut, &QPushButton::clicked, this, &Tfm_MainForm::btn_SignOutClick);
    connect(btn_ModifyPassword, &QPushButton::clicked, this, &Tfm_MainForm::btn_ModifyPasswordClick);
}

void Tfm_MainForm::postCommStatus(const QString& text)
{
    QMetaObject::invokeMethod(
        this, [this, text] { StatusPanels[4]->setText(text); }, Qt::QueuedConnection);
}

void Tfm_MainForm::setConfigControlsEnabled(bool enabled)
{
    for (QPushButton* control : {btn_ModifyPassword, btn_SignOut, btn_MeterBatchAdd, btn_MeterAdd, btn_MeterDel,
                                 btn_MeterModify, btn_MeterSave, btn_ChannelAdd, btn_ChannelDel, btn_ChannelModify,
                                 btn_ChannelSave})
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
    chkBox_SelectAllCurves->setChecked(true);
    chkBox_SelectAllCurvesClick();
    setConfigControlsEnabled(false);
    timer_PerSecond->start();
    plGSM_Alarm->setEnabled(false);
    Sms.reset();
}

// The timer stops before the threads do, so that no tick runs meanwhile.
void Tfm_MainForm::EnterConfigMode()
{
    timer_PerSecond->stop();
    setConfigControlsEnabled(true);
    plGSM_Alarm->setEnabled(true);
    Comm.StopCommThreads();
}

void Tfm_MainForm::btn_LoginClick()
{
    Tfm_LoginForm form;
    form.ExpectedPassword = ConfigPassword;
    if (form.exec() != QDialog::Accepted)
        return;
    EnterConfigMode();
    pgContr_MainForm->setCurrentWidget(tabSheet_MeterInfo);
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
