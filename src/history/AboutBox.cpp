#include "history/AboutBox.h"

#include <QStyle>

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent)
{
    setupUi(this);
    setFixedSize(size());
    ProgramIcon->setPixmap(style()->standardPixmap(QStyle::SP_ComputerIcon));
    connect(OKButton, &QPushButton::clicked, this, &TAboutBox::OKButtonClick);
}

void TAboutBox::OKButtonClick()
{
    accept();
}
