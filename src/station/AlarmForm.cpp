#include "station/AlarmForm.h"

#include <QApplication>
#include <QCloseEvent>

TFormAlarm* FormAlarm = nullptr;

TFormAlarm::TFormAlarm(QWidget* parent) : QDialog(parent)
{
    Ui::TFormAlarm::setupUi(this);
    setFixedSize(size());
    setAutoFillBackground(true);
    setColor(clBtnFace);
    connect(btnAlarmClearOk, &QPushButton::clicked, this, &TFormAlarm::btnAlarmClearOkClick);
    connect(btnAlarmSizeMin, &QPushButton::clicked, this, &TFormAlarm::btnAlarmSizeMinClick);
}

void TFormAlarm::setColor(TColor color)
{
    color_ = color;
    QPalette ground = palette();
    ground.setColor(QPalette::Window, toQColor(color));
    setPalette(ground);
}

void TFormAlarm::bringToFront()
{
    QWidget* const dialog = QApplication::activeModalWidget();
    setAttribute(Qt::WA_ShowWithoutActivating, dialog != nullptr);
    show();
    raise();
    if (!dialog)
        return;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != dialog && window->isModal() && window->isVisible())
            window->raise();
    dialog->raise();
}

void TFormAlarm::btnAlarmClearOkClick()
{
    setResult(1);
}

void TFormAlarm::btnAlarmSizeMinClick()
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void TFormAlarm::FormClose()
{
    setResult(0);
}

void TFormAlarm::closeEvent(QCloseEvent* event)
{
    FormClose();
    hide();
    event->accept();
}
