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
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "chart/Chart.h"
#include "platform/DateTime.h"
#include "platform/Gbk.h"
#include "station/ModifyPwForm.h"
#include "support/DeviceSlots.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/GuiApp.h"
#include "support/ModalDialog.h"
#include "support/StationDriver.h"
#include "support/StationLogin.h"
#include "support/WorkDir.h"

namespace {

using namespace std::chrono_literals;

// A station in run mode in a fresh base directory.
class Modes : public testing::Test {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        station.start();
    }

    std::vector<QPushButton*> configButtons() const
    {
        std::vector<QPushButton*> buttons;
        for (const char* name : {"btn_ModifyPassword", "btn_SignOut", "btn_MeterBatchAdd", "btn_MeterAdd", "btn_MeterDel",
                                 "btn_MeterModify", "btn_MeterSave", "btn_ChannelAdd", "btn_ChannelDel", "btn_ChannelModify",
                                 "btn_ChannelSave"})
            buttons.push_back(&station.widget<QPushButton>(name));
        return buttons;
    }

    void expectRunMode() const
    {
        for (QPushButton* button : configButtons())
            EXPECT_FALSE(button->isEnabled()) << button->objectName().toStdString();
        EXPECT_FALSE(station.widget<QFrame>("plGSM_Alarm").isEnabled());
        EXPECT_TRUE(station.timer().isActive());
        EXPECT_TRUE(station.widget<QPushButton>("btn_Login").isEnabled());
    }

    void expectConfigMode() const
    {
        for (QPushButton* button : configButtons())
            EXPECT_TRUE(button->isEnabled()) << button->objectName().toStdString();
        EXPECT_TRUE(station.widget<QFrame>("plGSM_Alarm").isEnabled());
        EXPECT_FALSE(station.timer().isActive());
        EXPECT_TRUE(station.widget<QPushButton>("btn_Login").isEnabled());
    }

    void showTab(const char* page) const
    {
        station.widget<QTabWidget>("pgContr_MainForm").setCurrentWidget(&station.widget<QWidget>(page));
    }
    QString currentTab() const { return station.widget<QTabWidget>("pgContr_MainForm").currentWidget()->objectName(); }

    StationDriver station;
};

TEST_F(Modes, EachModeSwitchesExactlyTheConfigurationControls)
{
    expectRunMode();
    EXPECT_EQ(station.timer().interval(), 1000);
    EXPECT_EQ(station.timer().timerType(), Qt::PreciseTimer) << "a coarse timer may tick early";
    station.window().EnterConfigMode();
    expectConfigMode();
    station.click("btn_SignOut");
    expectRunMode();
}

TEST_F(Modes, RightPasswordOpensConfigurationOnTheSettingsTab)
{
    showTab("tabSheet_GenervalView");
    answerLogin({"418262", "418263"});
    station.click("btn_Login");
    expectConfigMode();
    EXPECT_EQ(currentTab(), "tabSheet_MeterInfo");

    // Logging in again only brings the settings tab to the front.
    showTab("tabSheet_AlamRecord");
    answerLogin({"418263"});
    station.click("btn_Login");
    expectConfigMode();
    EXPECT_EQ(currentTab(), "tabSheet_MeterInfo");
}

// The history files below the base directory.
std::set<std::string> historyFiles(const WorkDir& dir)
{
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path()))
        if (entry.path().extension() == ".nx")
            files.insert(entry.path().string());
    return files;
}

// Nothing restarts: the recording period and the curves stay as they were.
TEST_F(Modes, CancelledLoginLeavesRunModeAsItWas)
{
    MeterConfig& device = station.addDevice(namedDevice("D1", {"CH1"}));
    device.PreRecordTime = 3600;
    station.setPassword("Secret");
    station.start();
    station.polled(0).ChannelValues[0] = 42;
    station.tick();
    ChartSeries& curve = station.widget<Chart>("chart_RealTimeCurves").series(0);
    const std::set<std::string> period = historyFiles(station.dir());
    ASSERT_EQ(period.size(), 1u);
    SetClock([] { return EncodeDateTime(2030, 1, 1, 0, 0, 0); });  // a new period would be named so

    showTab("tabSheet_GenervalView");
    answerLogin({"secret", ""});
    station.click("btn_Login");
    SetClock({});
    expectRunMode();
    EXPECT_EQ(currentTab(), "tabSheet_GenervalView");
    EXPECT_EQ(historyFiles(station.dir()), period);
    ASSERT_EQ(station.widget<Chart>("chart_RealTimeCurves").seriesCount(), 1);
    EXPECT_EQ(&station.widget<Chart>("chart_RealTimeCurves").series(0), &curve);
    EXPECT_EQ(curve.yValue(curve.count() - 1), 42);
}

TEST_F(Modes, EmptyPasswordIsAcceptedWhenItIsThePassword)
{
    station.setPassword("");
    station.start();
    answerLogin({""});
    station.click("btn_Login");
    expectConfigMode();
}

TEST_F(Modes, NewPasswordIsStoredWholeAtOnce)
{
    station.window().EnterConfigMode();
    whenShown<Tfm_ModifyPwForm>([](Tfm_ModifyPwForm& dialog) {
        type(dialog, "ed_NewPw", "Ab345678");
        type(dialog, "ed_NewPwAgain", "Ab345679");
        press(dialog, "btn_Ok");
        EXPECT_EQ(dialog.findChild<QLabel*>("lab_ModifyTip")->text(), "错误");
        type(dialog, "ed_NewPw", "Ab345678");
        type(dialog, "ed_NewPwAgain", "Ab345678");
        press(dialog, "btn_Ok");
    });
    station.click("btn_ModifyPassword");
    EXPECT_EQ(station.configFile().substr(4, 8), "Ab345678");

    station.click("btn_SignOut");
    answerLogin({"Ab345678"});
    station.click("btn_Login");
    expectConfigMode();
}

TEST_F(Modes, CancelledPasswordChangeKeepsThePassword)
{
    station.window().EnterConfigMode();
    const std::string before = station.configFile();
    whenShown<Tfm_ModifyPwForm>([](Tfm_ModifyPwForm& dialog) {
        type(dialog, "ed_NewPw", "x");
        type(dialog, "ed_NewPwAgain", "x");
        press(dialog, "btn_Cancel");
    });
    station.click("btn_ModifyPassword");
    EXPECT_EQ(station.configFile(), before);

    station.click("btn_SignOut");
    EXPECT_TRUE(logIn(station, "418263"));
}

// Devices on COM2 and COM5 and one on Ethernet, all simulated, two channels
// each, the second with one decimal place.
class RunModePolling : public Modes {
protected:
    void SetUp() override
    {
        ensureGuiApp();
        com2 = Devsim::onPty(comLink(2));
        com5 = Devsim::onPty(comLink(5), {"--address", "3"});
        ethernet = Devsim::onTcp({"--address", "2"});
        addPolledDevice(1, 1, 0);
        addPolledDevice(3, 4, 0);
        addPolledDevice(2, 0, 1);
        station.start();
    }

    void TearDown() override { station.close(); }

    void addPolledDevice(int address, int comPort, int mode)
    {
        MeterConfig& m = station.addDevice(namedDevice(QStringLiteral("D%1").arg(address), {"A", "B"}));
        m.MeterAddr = std::uint8_t(address);
        m.CommSerial = std::uint8_t(comPort);
        m.CommMod = std::uint8_t(mode);
        copyToField(m.IPAddr, QStringLiteral("127.0.0.1"));
        m.IPPort = ethernet->port();
        m.Channels[1].ChannelPoin = 1;
    }

    // Processes events meanwhile, so that the timer ticks and status texts
    // reach their panel.
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

    // Register r of slave a holds 100 a + r, so each panel shows its own.
    bool panelsShowThePolledValues() const
    {
        return station.panel(0).valueText() == "100" && station.panel(3).valueText() == "30.1"
            && station.panel(4).valueText() == "200";
    }

    std::vector<std::size_t> requestCounts() const
    {
        return {com2->requests().size(), com5->requests().size(), ethernet->requests().size()};
    }

    std::unique_ptr<Devsim> com2, com5, ethernet;
};

TEST_F(RunModePolling, ThreadsRunInRunModeOnly)
{
    EXPECT_TRUE(waitUntil([this] { return panelsShowThePolledValues(); }));
    EXPECT_TRUE(waitUntil([this] { return station.statusPanel(4).text() == "127.0.0.1 Connect Success"; }));

    station.window().EnterConfigMode();
    // A simulator answers a command after every request it logged before it.
    for (Devsim* simulator : {com2.get(), com5.get(), ethernet.get()})
        simulator->setFault("none");
    const std::vector<std::size_t> stopped = requestCounts();
    EXPECT_TRUE(holdsFor([&] { return requestCounts() == stopped; }, 300ms)) << "nothing polls";

    // Leaving configuration mode again polls the same ports anew.
    station.click("btn_SignOut");
    EXPECT_TRUE(eventually([&] {
        const std::vector<std::size_t> counts = requestCounts();
        return counts[0] > stopped[0] && counts[1] > stopped[1] && counts[2] > stopped[2];
    }));
}

} // namespace
