// The SMS page on the main window: the cycle's SMS step writing to a
// simulated GSM module on COM3, and "保存设置".
#include "StationFixture.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <chrono>

#include "comm/ComPort.h"
#include "platform/Conversions.h"
#include "station/StringGrid.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/FileBytes.h"
#include "support/WindowDriver.h"

namespace {

using namespace std::chrono_literals;

constexpr int Com3 = 2;

// SMS alarm on, to one number through COM3, 2 seconds after an alarm begins.
class SmsStep : public Station {
protected:
    void SetUp() override
    {
        Station::SetUp();
        module = Devsim::gsmOnPty(comLink(3));
        station.writeBaseFile("Res/GSM_Alarm.ini", "[GSM]\r\nEnable=1\r\nCOM=" + std::to_string(Com3) + "\r\nDelay=2\r\nText="
                                                       + toGbk("温度超限").toStdString()
                                                       + "\r\n[PhoneList]\r\nNum1=13800000001\r\n");
    }

    QString label() const { return station.widget<QLabel>("lbYSJS").text(); }

    // Two ticks of alarm, the first of the delay's two seconds: counted, then texted.
    void expectDelayThenMessage()
    {
        tick();
        EXPECT_EQ(label(), "延时计时：  1");
        tick();
        EXPECT_EQ(label(), "发出短息。      ");
        EXPECT_TRUE(module->waitForMessages(1));
    }

    std::unique_ptr<Devsim> module;
};

TEST_F(SmsStep, CycleTextsWhatTheOverviewShowsAndFreesThePort)
{
    addDevice("锅炉1", {"温度"});
    addDevice("D2", {"X"});
    start();
    MeterRecord& boiler = polled(0);
    MeterRecord& fan = polled(1);
    boiler.ChannelValues[0] = 95.5f;
    boiler.AlarmHHA[0] = 1;
    fan.Online = 0;  // its flags still count for the text
    fan.AlarmLA[0] = 1;

    expectDelayThenMessage();
    ASSERT_EQ(module->messages().size(), 1u);
    EXPECT_EQ(module->messages()[0].text, "8613800000001:温度超限\n锅炉1--温度\t95.5kPa\nD2--X\tERRkPa\n\r\n");

    PortHandle port;
    EXPECT_TRUE(OpenComPort(port, Com3, 2)) << "closed right after the message";
    CloseComPort(port);
}

TEST_F(SmsStep, HeldPortDelaysTheMessageUntilItOpens)
{
    addDevice("D1", {"CH1"});
    start();
    polled(0).AlarmHA[0] = 1;
    PortHandle held;
    ASSERT_TRUE(OpenComPort(held, Com3, 2));

    tick();
    for (int i = 0; i < 2; ++i) {
        tick();
        EXPECT_EQ(label(), "短信模块串口无法打开!") << "the due second comes again";
    }
    // A text of the test's own through the held port: once the module has
    // it, whatever reached the module before it has been printed too.
    const std::string own = "own text";
    ASSERT_EQ(SerialWrite(held, own.data(), int(own.size())), int(own.size()));
    ASSERT_TRUE(module->waitForMessages(1));
    EXPECT_EQ(module->messages()[0].text, own);
    // Longer than the module's message gap.
    EXPECT_TRUE(holdsFor([&] { return module->messages().size() == 1; }, 300ms));

    CloseComPort(held);
    tick();
    EXPECT_EQ(label(), "发出短息。      ");
    ASSERT_TRUE(module->waitForMessages(2));
    EXPECT_EQ(module->messages()[1].text, "8613800000001:温度超限\nD1--CH1\t0kPa\n\r\n");
}

TEST_F(SmsStep, TickWithoutAlarmStartsTheDelayAgain)
{
    addDevice("D1", {"CH1"});
    start();
    MeterRecord& meter = polled(0);
    meter.AlarmHA[0] = 1;
    tick();
    meter.AlarmHA[0] = 0;
    tick();
    meter.AlarmHA[0] = 1;
    expectDelayThenMessage();
}

// Half-way through the delay, a return to run mode counts it from the start.
TEST_F(SmsStep, RunModeStartsTheScheduleAfresh)
{
    addDevice("D1", {"CH1"});
    start();
    polled(0).AlarmHA[0] = 1;
    tick();
    ASSERT_EQ(label(), "延时计时：  1");

    changeModes();
    polled(0).AlarmHA[0] = 1;
    expectDelayThenMessage();
}

// The page in configuration mode, where its controls can be changed.
class SmsSave : public Station {
protected:
    void SetUp() override
    {
        Station::SetUp();
        start();
        station.window().EnterConfigMode();
    }

    std::string iniFile() const { return readFileBytes(station.dir().file("Res/GSM_Alarm.ini")); }
};

TEST_F(SmsSave, WritesEveryKeyInOrderAndTheNextStartReadsThemBack)
{
    station.click("GSMcbAlarmEn");
    station.choose("GSMcbbCOM", 3);
    station.click("GSMcbPWR_AlarmEn");
    station.type("GSMedAlarmPWR_CH", "2");
    station.type("GSMedAlarmDelayT", "7");
    station.type("GSMedAlarmReload", "15");
    station.widget<QPlainTextEdit>("GSMmeAlarmText").setPlainText("温度超限");
    StringGrid& phones = station.widget<StringGrid>("GSM_SG_PhoneNum");
    phones.setCell(1, 1, "张三");
    phones.setCell(2, 1, "13800000001");
    phones.setCell(1, 10, "Li");
    phones.setCell(2, 10, "13900000010");
    station.click("btnGSM_SetSave");
    std::string phoneLines;
    for (int row = 1; row <= 10; ++row) {
        const std::string k = std::to_string(row);
        const std::string name = row == 1 ? "\xD5\xC5\xC8\xFD" : row == 10 ? "Li" : "";  // 张三 in GBK
        const std::string number = row == 1 ? "13800000001" : row == 10 ? "13900000010" : "";
        phoneLines += "Name" + k + "=" + name + "\r\nNum" + k + "=" + number + "\r\n";
    }
    EXPECT_EQ(iniFile(), "[GSM]\r\nEnable=1\r\nCOM=3\r\nPWR_ALARM=1\r\nPWR_CH=2\r\nDelay=7\r\nReload=15\r\nText="
                             "\xCE\xC2\xB6\xC8\xB3\xAC\xCF\xDE\r\n[PhoneList]\r\n" + phoneLines);  // 温度超限

    Tfm_MainForm next;
    EXPECT_TRUE(widget<QCheckBox>(next, "GSMcbAlarmEn")->isChecked());
    EXPECT_EQ(widget<QComboBox>(next, "GSMcbbCOM")->currentText(), "COM4");
    EXPECT_TRUE(widget<QCheckBox>(next, "GSMcbPWR_AlarmEn")->isChecked());
    EXPECT_EQ(widget<QLineEdit>(next, "GSMedAlarmPWR_CH")->text(), "2");
    EXPECT_EQ(widget<QLineEdit>(next, "GSMedAlarmDelayT")->text(), "7");
    EXPECT_EQ(widget<QLineEdit>(next, "GSMedAlarmReload")->text(), "15");
    EXPECT_EQ(widget<QPlainTextEdit>(next, "GSMmeAlarmText")->toPlainText(), "温度超限");
    EXPECT_EQ(widget<StringGrid>(next, "GSM_SG_PhoneNum")->Cells(1, 1), "张三");
    EXPECT_EQ(widget<StringGrid>(next, "GSM_SG_PhoneNum")->Cells(2, 1), "13800000001");
    EXPECT_EQ(widget<StringGrid>(next, "GSM_SG_PhoneNum")->Cells(2, 2), "");
    EXPECT_EQ(widget<StringGrid>(next, "GSM_SG_PhoneNum")->Cells(1, 10), "Li");
    EXPECT_EQ(widget<StringGrid>(next, "GSM_SG_PhoneNum")->Cells(2, 10), "13900000010");
}

TEST_F(SmsSave, NumberThatIsNoWholeNumberStopsTheSaveAtItsKey)
{
    station.type("GSMedAlarmReload", "abc");
    EXPECT_THROW(station.window().btnGSM_SetSaveClick(), EConvertError);
    EXPECT_EQ(iniFile(), "[GSM]\r\nEnable=0\r\nCOM=0\r\nPWR_ALARM=0\r\nPWR_CH=1\r\nDelay=10\r\n");
}

TEST_F(SmsSave, ClickedSaveShowsTheConversionErrorAndTheProgramGoesOn)
{
    QPushButton* save = &station.widget<QPushButton>("btnGSM_SetSave");
    station.type("GSMedAlarmReload", "abc");
    station.click("btnGSM_SetSave");
    const ShownMessage error{"Norvik", "'abc' is not a valid integer value."};
    EXPECT_EQ(boxes.shown(), std::vector<ShownMessage>{error});

    station.type("GSMedAlarmReload", "15");
    QTimer::singleShot(0, save, &QPushButton::click);
    QCoreApplication::processEvents();
    EXPECT_NE(iniFile().find("Reload=15\r\nText="), std::string::npos);
    EXPECT_EQ(boxes.shown().size(), 1u);
}

}  // namespace
