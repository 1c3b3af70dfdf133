#include "station/AlarmForm.h"

#include <QApplication>
#include <QCloseEvent>

#include "platform/GuardedHandler.h"
#include "ui_AlarmForm.h"

TFormAlarm* FormAlarm = nullptr;

TFormAlarm::TFormAlarm(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TFormAlarm>())
{
    ui->setupUi(this);
    setFixedSize(size());
    setAutoFillBackground(true);
    setColor(clBtnFace);
    connect(ui->btnAlarmClearOk, &QPushButton::clicked, this, guarded(this, &TFormAlarm::btnAlarmClearOkClick));
    connect(ui->btnAlarmSizeMin, &QPushButton::clicked, this, guarded(this, &TFormAlarm::btnAlarmSizeMinClick));
}

TFormAlarm::~TFormAlarm() = default;

void TFormAlarm::setColor(TColor color)
{
    color_ = color;
    QPalette ground = palette();
    ground.setColor(QPalette::Window, toQColor(color));
    setPalette(ground);
}

void TFormAlarm::blink()
{
    setColor(color_ == clBtnFace ? clRed : clBtnFace);
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
