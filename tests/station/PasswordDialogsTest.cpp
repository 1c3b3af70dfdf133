#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "station/LoginForm.h"
#include "station/ModifyPwForm.h"
#include "support/GuiApp.h"

namespace {

template <typename T>
T* child(QWidget& form, const char* name)
{
    T* widget = form.findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

struct LoginCase {
    const char* expected;
    const char* typed;
    bool accepted;
};

void PrintTo(const LoginCase& c, std::ostream* os)
{
    *os << '"' << c.typed << "\" against \"" << c.expected << '"';
}

class LoginDialog : public testing::TestWithParam<LoginCase> {
protected:
    void SetUp() override { ensureGuiApp(); }
};

TEST_P(LoginDialog, AcceptsOnlyTheExactPassword)
{
    const LoginCase c = GetParam();
    Tfm_LoginForm form;
    form.ExpectedPassword = QString::fromUtf8(c.expected);
    form.show();
    child<QLineEdit>(form, "ed_InputPassword")->setText(QString::fromUtf8(c.typed));
    child<QPushButton>(form, "bt_Ok")->click();

    if (c.accepted) {
        EXPECT_EQ(form.result(), QDialog::Accepted);
        EXPECT_FALSE(form.isVisible());
    } else {
        EXPECT_TRUE(form.isVisible());
        EXPECT_NE(form.result(), QDialog::Accepted);
        EXPECT_EQ(child<QLineEdit>(form, "ed_InputPassword")->text(), "");
        EXPECT_EQ(child<QLabel>(form, "lab_PasswordTip")->text(), "错误");
    }
}

INSTANTIATE_TEST_SUITE_P(Passwords, LoginDialog, testing::Values(
    LoginCase{"418263", "418263", true},
    LoginCase{"418263", "41826", false},
    LoginCase{"418263", "", false},
    LoginCase{"Secret", "secret", false},
    LoginCase{"Secret", "Secret", true},
    LoginCase{"", "", true},
    LoginCase{"", "x", false}));

TEST(LoginDialogForm, RetriesAfterAWrongEntryAndCancelCloses)
{
    ensureGuiApp();
    Tfm_LoginForm form;
    form.ExpectedPassword = "1";
    form.show();
    for (int attempt = 0; attempt < 3; ++attempt) {
        child<QLineEdit>(form, "ed_InputPassword")->setText("2");
        child<QPushButton>(form, "bt_Ok")->click();
        ASSERT_TRUE(form.isVisible());
    }
    child<QPushButton>(form, "bt_Cancel")->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.isVisible());
}

TEST(ModifyPwDialog, MatchingEntriesCloseWithTheNewPassword)
{
    ensureGuiApp();
    Tfm_ModifyPwForm form;
    form.show();
    child<QLineEdit>(form, "ed_NewPw")->setText("Ab345678");
    child<QLineEdit>(form, "ed_NewPwAgain")->setText("Ab345678");
    child<QPushButton>(form, "btn_Ok")->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.newPassword(), "Ab345678");
}

TEST(ModifyPwDialog, DifferingEntriesAreClearedAndTheDialogStays)
{
    ensureGuiApp();
    Tfm_ModifyPwForm form;
    form.show();
    auto* first = child<QLineEdit>(form, "ed_NewPw");
    auto* again = child<QLineEdit>(form, "ed_NewPwAgain");
    first->setText("abc");
    again->setText("ABC");
    child<QPushButton>(form, "btn_Ok")->click();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(first->text(), "");
    EXPECT_EQ(again->text(), "");
    EXPECT_EQ(child<QLabel>(form, "lab_ModifyTip")->text(), "错误");
}

TEST(ModifyPwDialog, EditsTakeAtMostEightCharactersShownAsStars)
{
    ensureGuiApp();
    Tfm_ModifyPwForm form;
    Tfm_LoginForm login;
    for (QLineEdit* edit : {child<QLineEdit>(form, "ed_NewPw"), child<QLineEdit>(form, "ed_NewPwAgain"),
                            child<QLineEdit>(login, "ed_InputPassword")}) {
        edit->setText("123456789");
        EXPECT_EQ(edit->text(), "12345678");
        EXPECT_EQ(edit->displayText(), "********");
        // The password is kept in 8 bytes of GBK: four Chinese characters.
        edit->clear();
        edit->insert("密码密码");
        edit->insert("密");
        EXPECT_EQ(edit->text(), "密码密码");
    }
}

} // namespace
