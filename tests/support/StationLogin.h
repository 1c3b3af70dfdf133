#pragma once
// The station's login dialog, answered as the operator would.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "station/LoginForm.h"
#include "support/ModalDialog.h"
#include "support/StationDriver.h"

// Answers the next login dialog with each entry in turn, each refused one
// showing "错误", then cancels the dialog if it is still open.
inline void answerLogin(std::vector<QString> entries)
{
    whenShown<Tfm_LoginForm>([entries](Tfm_LoginForm& dialog) {
        for (const QString& entry : entries) {
            type(dialog, "ed_InputPassword", entry);
            press(dialog, "bt_Ok");
            if (!dialog.isVisible())
                return;
            EXPECT_EQ(dialog.findChild<QLabel*>("lab_PasswordTip")->text(), "错误");
            EXPECT_EQ(dialog.findChild<QLineEdit*>("ed_InputPassword")->text(), "");
        }
        press(dialog, "bt_Cancel");
    });
}

// "登录" with the password; true when configuration mode opened.
inline bool logIn(const StationDriver& station, const QString& password)
{
    answerLogin({password});
    station.click("btn_Login");
    return station.widget<QPushButton>("btn_SignOut").isEnabled();
}
