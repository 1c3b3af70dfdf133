#include <gtest/gtest.h>

#include <QProcess>
#include <QTimer>

#include "platform/Application.h"
#include "platform/Conversions.h"
#include "platform/GuardedHandler.h"
#include "platform/MessageBox.h"
#include "support/ProgramApp.h"

namespace {

TEST(Application, HandlerExceptionIsShownAndTheLoopGoesOn)
{
    programApp();
    MessageBoxCapture capture;
    bool restOfHandlerRan = false;
    bool nextHandlerRan = false;
    QTimer::singleShot(0, guarded([&] {
        StrToInt(QStringLiteral("abc"));
        restOfHandlerRan = true;
    }));
    QTimer::singleShot(0, guarded([&] { throw std::runtime_error("无法写入 Res/GSM_Alarm.ini"); }));
    QTimer::singleShot(0, [&] { nextHandlerRan = true; });
    QCoreApplication::processEvents();

    EXPECT_FALSE(restOfHandlerRan);
    EXPECT_TRUE(nextHandlerRan);
    const std::vector<ShownMessage> expected{
        {QStringLiteral("Norvik"), QStringLiteral("'abc' is not a valid integer value.")},
        {QStringLiteral("Norvik"), QString::fromUtf8("无法写入 Res/GSM_Alarm.ini.")},
    };
    EXPECT_EQ(capture.shown(), expected);
}

TEST(Application, FullStopIsAddedOnlyAfterAWordOrDigit)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"bad value", "bad value."}, {"done.", "done."}, {"stop!", "stop!"},
        {"数据错误", "数据错误."}, {"42", "42."},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(Application::exceptionText(QString::fromUtf8(message)), QString::fromUtf8(shown)) << message;
}

// Qt's standard buttons in the language that LANG names, and as Qt writes
// them without one; no C library locale is installed for zh_CN.
TEST(Application, StandardButtonsSpeakTheLanguageOfLang)
{
    const struct {
        const char* lang;
        const char* ok;
        const char* cancel;
    } cases[] = {{"zh_CN.UTF-8", "确定", "取消"}, {"C", "OK", "Cancel"}};
    for (const auto& c : cases) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
            env.remove(QString::fromLatin1(name));
        env.insert(QStringLiteral("LANG"), QString::fromLatin1(c.lang));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QStringLiteral(MESSAGE_BOX_BUTTONS_PATH), QStringList());
        ASSERT_TRUE(program.waitForFinished(60000)) << c.lang;
        EXPECT_EQ(QString::fromUtf8(program.readAllStandardOutput()),
                  QString::fromUtf8(c.ok) + u'\n' + QString::fromUtf8(c.cancel) + u'\n')
            << c.lang;
    }
}

TEST(MessageBox, ErrorBoxHasTheStationCaptionAndMessageTheProgramName)
{
    programApp();
    MessageBoxCapture capture;
    ShowErrorBox(QString::fromUtf8("请正确输入设备地址!"));
    ShowMessage(QString::fromUtf8("超出时间范围上限！"));
    const std::vector<ShownMessage> expected{
        {QString::fromUtf8("错误"), QString::fromUtf8("请正确输入设备地址!")},
        {QStringLiteral("Norvik"), QString::fromUtf8("超出时间范围上限！")},
    };
    EXPECT_EQ(capture.shown(), expected);
}

} // namespace
