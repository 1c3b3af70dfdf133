#include "station/LoginForm.h"

#include "platform/GuardedHandler.h"
#include "station/GbkLengthValidator.h"
#include "station/core/ConfigFile.h"
#include "ui_LoginForm.h"

Tfm_LoginForm::Tfm_LoginForm(QWidget* owner)
    : QDialog(owner), ui(std::make_unique<Ui::Tfm_LoginForm>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->ed_InputPassword->setValidator(new GbkLengthValidator(ConfigFile::PasswordBytes, ui->ed_InputPassword));
    connect(ui->bt_Ok, &QPushButton::clicked, this, guarded(this, &Tfm_LoginForm::bt_OkClick));
    connect(ui->bt_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

Tfm_LoginForm::~Tfm_LoginForm() = default;

void Tfm_LoginForm::bt_OkClick()
{
    if (ui->ed_InputPassword->text() == ExpectedPassword) {
        accept();
        return;
    }
    ui->ed_InputPassword->clear();
    ui->lab_PasswordTip->setText("错误");
}
