#include "history/AboutBox.h"
#include "platform/GuardedHandler.h"
#include "ui_AboutBox.h"

#include <QStyle>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TAboutBox>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->ProgramIcon->setPixmap(style()->standardPixmap(QStyle::SP_ComputerIcon));
    connect(ui->OKButton, &QPushButton::clicked, this, guarded(this, &TAboutBox::OKButtonClick));
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::OKButtonClick()
{
    accept();
}
