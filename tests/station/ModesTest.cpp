#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

#include "chart/Chart.h"
#include "platform/DateTime.h"
#include "station/LoginForm.h"
#include "station/MainForm.h"
#include "station/ModifyPwForm.h"
#include "support/Devsim.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/ModalDialog.h"
#include "support/WindowDriver.h"
#include "support/WorkDir.h"

namespace {

// Answers the login dialog with each entry in turn, then cancels if still open.
void answerLogin(std::vector<QString> entries)
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

class Modes : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        form = std::make_unique<Tfm_MainForm>();
        form->EnterRunMode();
    }

    std::vector<QPushButton*> configButtons() const
    {
        return {widget<QPushButton>(*form, "btn_ModifyPassword"), widget<QPushButton>(*form, "btn_SignOut"), widget<QPushButton>(*form, "btn_MeterBatchAdd"), widget<QPushButton>(*form, "btn_MeterAdd"),
                widget<QPushButton>(*form, "btn_MeterDel"), widget<QPushButton>(*form, "btn_MeterModify"), widget<QPushButton>(*form, "btn_MeterSave"), widget<QPushButton>(*form, "btn_ChannelAdd"),
                widget<QPushButton>(*form, "btn_ChannelDel"), widget<QPushButton>(*form, "btn_ChannelModify"), widget<QPushButton>(*form, "btn_ChannelSave")};
    }

    void expectRunMode() const
    {
        for (QPushButton* button : configButtons())
            EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
        EXPECT_FALSE(widget<QFrame>(*form, "plGSM_Alarm")->isEnabled());
        EXPECT_TRUE(form->timer_PerSecond->isActive());
        EXPECT_TRUE(widget<QPushButton>(*form, "btn_Login")->isEnabled());
    }

    void expectConfigMode() const
    {
        for (QPushButton* button : configButtons())
            EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        EXPECT_TRUE(widget<QFrame>(*form, "plGSM_Alarm")->isEnabled());
        EXPECT_FALSE(form->timer_PerSecond->isActive());
        EXPECT_TRUE(widget<QPushButton>(*form, "btn_Login")->isEnabled());
    }

    WorkDir dir;
    std::unique_ptr<Tfm_MainForm> form;
};

TEST_F(Modes, EachModeSwitchesExactlyTheConfigurationControls)
{
    expectRunMode();
    EXPECT_EQ(form->timer_PerSecond->interval(), 1000);
    EXPECT_EQ(form->timer_PerSecond->timerType(), Qt::PreciseTimer) << "a coarse timer may tick early";
    // No device, no thread.
    EXPECT_TRUE(form->Comm.CommThreads.empty());
    EXPECT_EQ(form->Comm.IPCommThread, nullptr);
    form->EnterConfigMode();
    expectConfigMode();
    widget<QPushButton>(*form, "btn_SignOut")->click();
    expectRunMode();
}

TEST_F(Modes, RightPasswordOpensConfigurationOnTheSettingsTab)
{
    form->ConfigPassword = "418263";
    widget<QTabWidget>(*form, "pgContr_MainForm")->setCurrentWidget(widget<QWidget>(*form, "tabSheet_GenervalView"));
    answerLogin({"418262", "418263"});
    widget<QPushButton>(*form, "btn_Login")->click();
    expectConfigMode();
    EXPECT_EQ(widget<QTabWidget>(*form, "pgContr_MainForm")->currentWidget(), widget<QWidget>(*form, "tabSheet_MeterInfo"));

    // Logging in again only brings the settings tab to the front.
    widget<QTabWidget>(*form, "pgContr_MainForm")->setCurrentWidget(widget<QWidget>(*form, "tabSheet_AlamRecord"));
    answerLogin({"418263"});
    widget<QPushButton>(*form, "btn_Login")->click();
    expectConfigMode();
    EXPECT_EQ(widget<QTabWidget>(*form, "pgContr_MainForm")->currentWidget(), widget<QWidget>(*form, "tabSheet_MeterInfo"));
}

// Nothing restarts: the recording period and the curves stay as they were.
TEST_F(Modes, CancelledLoginLeavesRunModeAsItWas)
{
    std::filesystem::create_symlink("/nonexistent/tty", dir.file("Res/COM1"));  // no real line polled
    form->EnterConfigMode();
    form->Devices.MeterRecords[0].ChannelNum = 1;
    form->Devices.MeterCount = 1;
    form->EnterRunMode();
    ChartSeries& curve = widget<Chart>(*form, "chart_RealTimeCurves")->series(0);
    form->Animate(curve, "18-10-18 09:05:04", 42);
    const std::string period = form->History.PeriodHistoryPath;
    SetClock([] { return EncodeDateTime(2030, 1, 1, 0, 0, 0); });  // a new period would be named so

    form->ConfigPassword = "Secret";
    widget<QTabWidget>(*form, "pgContr_MainForm")->setCurrentWidget(widget<QWidget>(*form, "tabSheet_GenervalView"));
    answerLogin({"secret", ""});
    widget<QPushButton>(*form, "btn_Login")->click();
    SetClock({});
    expectRunMode();
    EXPECT_EQ(widget<QTabWidget>(*form, "pgContr_MainForm")->currentWidget(), widget<QWidget>(*form, "tabSheet_GenervalView"));
    EXPECT_EQ(form->History.PeriodHistoryPath, period);
    ASSERT_EQ(widget<Chart>(*form, "chart_RealTimeCurves")->seriesCount(), 1);
    EXPECT_EQ(&widget<Chart>(*form, "chart_RealTimeCurves")->series(0), &curve);
    EXPECT_EQ(curve.yValue(curve.count() - 1), 42);
}

TEST_F(Modes, EmptyPasswordIsAcceptedWhenItIsThePassword)
{
    form->ConfigPassword = "";
    answerLogin({""});
    widget<QPushButton>(*form, "btn_Login")->click();
    expectConfigMode();
}

TEST_F(Modes, NewPasswordIsStoredWholeAtOnce)
{
    form->EnterConfigMode();
    whenShown<Tfm_ModifyPwForm>([](Tfm_ModifyPwForm& dialog) {
        type(dialog, "ed_NewPw", "Ab345678");
        type(dialog, "ed_NewPwAgain", "Ab345679");
        press(dialog, "btn_Ok");
        EXPECT_EQ(dialog.findChild<QLabel*>("lab_ModifyTip")->text(), "错误");
        type(dialog, "ed_NewPw", "Ab345678");
        type(dialog, "ed_NewPwAgain", "Ab345678");
        press(dialog, "btn_Ok");
    });
    widget<QPushButton>(*form, "btn_ModifyPassword")->click();
    EXPECT_EQ(form->ConfigPassword, "Ab345678");
    EXPECT_EQ(readFileBytes(dir.file("Config.dat")).substr(4, 8), "Ab345678");

    widget<QPushButton>(*form, "btn_SignOut")->click();
    answerLogin({"Ab345678"});
    widget<QPushButton>(*form, "btn_Login")->click();
    expectConfigMode();
}

TEST_F(Modes, CancelledPasswordChangeKeepsThePassword)
{
    form->EnterConfigMode();
    form->ConfigPassword = "418263";
    const std::string before = readFileBytes(dir.file("Config.dat"));
    whenShown<Tfm_ModifyPwForm>([](Tfm_ModifyPwForm& dialog) {
        type(dialog, "ed_NewPw", "x");
        type(dialog, "ed_NewPwAgain", "x");
        press(dialog, "btn_Cancel");
    });
    widget<QPushButton>(*form, "btn_ModifyPassword")->click();
    EXPECT_EQ(form->ConfigPassword, "418263");
    EXPECT_EQ(readFileBytes(dir.file("Config.dat")), before);
}

// Devices on COM2 and COM5 and one on Ethernet, all simulated.
class RunModePolling : public Modes {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        com2 = Devsim::onPty(comLink(2));
        com5 = Devsim::onPty(comLink(5), {"--address", "3"});
        ethernet = Devsim::onTcp({"--address", "2"});
        form = std::make_unique<Tfm_MainForm>();
        form->EnterConfigMode();
        addDevice(0, 1, 1, 0);
        addDevice(1, 3, 4, 0);
        addDevice(2, 2, 0, 1);
        form->Devices.MeterCount = 3;
    }

    void TearDown() override { form.reset(); }

    void addDevice(int k, int address, int comPort, int mode)
    {
        MeterRecord& m = form->Devices.MeterRecords[k];
        m.MeterAddr = std::uint8_t(address);
        m.ChannelNum = 2;
        m.CommSerial = std::uint8_t(comPort);
        m.CommMod = std::uint8_t(mode);
        std::snprintf(m.IPAddr, sizeof m.IPAddr, "127.0.0.1");
        m.IPPort = ethernet->port();
        m.Channels[1].ChannelPoin = 1;
    }

    // Processes events meanwhile, so that status texts reach their panel.
    bool waitUntil(const std::function<bool()>& done)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done()) {
            if (waited.elapsed() > 20000)
                return false;
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
        return true;
    }

    bool allOnline()
    {
        for (int k = 0; k < 3; ++k)
            if (!form->Devices.MeterRecords[k].Online)
                return false;
        return true;
    }

    std::unique_ptr<Devsim> com2, com5, ethernet;
};

TEST_F(RunModePolling, ThreadsRunInRunModeOnly)
{
    EXPECT_TRUE(form->Comm.CommThreads.empty());
    widget<QPushButton>(*form, "btn_SignOut")->click();
    EXPECT_EQ(form->Comm.CommThreads.size(), 2u);
    EXPECT_NE(form->Comm.IPCommThread, nullptr);
    // A good poll marks its device online before it stores the values.
    const MeterRecord* m = form->Devices.MeterRecords;
    EXPECT_TRUE(waitUntil([&] {
        return allOnline() && m[0].ChannelValues[0] == 100.0f && m[1].ChannelValues[1] == 30.1f
            && m[2].ChannelValues[0] == 200.0f;
    }));
    EXPECT_TRUE(waitUntil([this] { return form->StatusPanels[4]->text() == "127.0.0.1 Connect Success"; }));

    form->EnterConfigMode();
    EXPECT_TRUE(form->Comm.CommThreads.empty());
    EXPECT_EQ(form->Comm.IPCommThread, nullptr);

    // Leaving configuration mode again polls the same ports anew.
    for (int k = 0; k < 3; ++k)
        form->Devices.MeterRecords[k].Online = 0;
    form->EnterRunMode();
    EXPECT_EQ(form->Comm.CommThreads.size(), 2u);
    EXPECT_TRUE(waitUntil([this] { return allOnline(); }));
}

} // namespace
