#pragma once
#include <QDialog>

#include "ui_AlarmForm.h"

// The alarm window: hidden between alarms; the one-second cycle shows,
// blinks and closes it. Its result is the operator's silence request.
class TFormAlarm : public QDialog, public Ui::TFormAlarm {
    Q_OBJECT
public:
    explicit TFormAlarm(QWidget* parent = nullptr);
};

// The one alarm window, created by the program entry right after the main window.
extern TFormAlarm* FormAlarm;
