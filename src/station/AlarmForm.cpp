#include "station/AlarmForm.h"

TFormAlarm* FormAlarm = nullptr;

TFormAlarm::TFormAlarm(QWidget* parent) : QDialog(parent)
{
    Ui::TFormAlarm::setupUi(this);
    setFixedSize(size());
}
