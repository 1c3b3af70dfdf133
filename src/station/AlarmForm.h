#pragma once
#include <QDialog>
#include <memory>

#include "platform/Colors.h"

namespace Ui {
class TFormAlarm;
}

// The alarm window: hidden between alarms; the one-second cycle shows,
// blinks and closes it. Its result is the operator's silence request.
class TFormAlarm : public QDialog {
    Q_OBJECT
public:
    explicit TFormAlarm(QWidget* parent = nullptr);
    ~TFormAlarm() override;

    // The ground turns from clBtnFace to clRed, or back: one step of the
    // cycle's blinking.
    void blink();

    // Shows the window in front of the others, a minimised one staying
    // minimised, but below the modal dialogs the program has open: the
    // operator keeps seeing what he types there.
    void bringToFront();

    // Asks the cycle for 900 silent ticks: the result becomes 1.
    void btnAlarmClearOkClick();
    void btnAlarmSizeMinClick();
    // Closing, by the cycle or from the title bar, withdraws that request.
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setColor(TColor color);

    std::unique_ptr<Ui::TFormAlarm> ui;
    TColor color_ = clBtnFace;
};

// The one alarm window, created by the program entry right after the main window.
extern TFormAlarm* FormAlarm;
