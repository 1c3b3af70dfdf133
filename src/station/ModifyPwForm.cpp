#include "station/ModifyPwForm.h"

#include "platform/GuardedHandler.h"
#include "station/GbkLengthValidator.h"
#include "station/core/ConfigFile.h"
#include "ui_ModifyPwForm.h"

Tfm_ModifyPwForm::Tfm_ModifyPwForm(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::Tfm_ModifyPwForm>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->ed_NewPw->setValidator(new GbkLengthValidator(ConfigFile::PasswordBytes, ui->ed_NewPw));
    ui->ed_NewPwAgain->setValidator(new GbkLengthValidator(ConfigFile::PasswordBytes, ui->ed_NewPwAgain));
    connect(ui->btn_Ok, &QPushButton::clicked, this, guarded(this, &Tfm_ModifyPwForm::btn_OkClick));
    connect(ui->btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfm_ModifyPwForm::~Tfm_ModifyPwForm() = default;

QString Tfm_ModifyPwForm::newPassword() const
{
    return ui->ed_NewPw->text();
}

void Tfm_ModifyPwForm::btn_OkClick()
{
    if (ui->ed_NewPw->text() == ui->ed_NewPwAgain->text()) {
        accept();
        return;
    }
    ui->ed_NewPw->clear();
    ui->ed_NewPwAgain->clear();
    ui->lab_ModifyTip->setText("错误");
}
