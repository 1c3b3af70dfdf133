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
        widget<QCheckBox>(*form, "GSMcbAlarmEn")->setChecked(true);
        widget<QComboBox>(*form, "GSMcbbCOM")->setCurrentIndex(Com3);
        widget<QLineEdit>(*form, "GSMedAlarmDelayT")->setText("2");
        widget<QPlainTextEdit>(*form, "GSMmeAlarmText")->setPlainText("温度超限");
        widget<StringGrid>(*form, "GSM_SG_PhoneNum")->setCell(2, 1, "13800000001");
    }

    QString label() const { return widget<QLabel>(*form, "lbYSJS")->text(); }

    std::unique_ptr<Devsim> module;
};

TEST_F(SmsStep, CycleTextsWhatTheOverviewShowsAndFreesThePort)
{
    MeterRecord& boiler = addDevice("锅炉1", {"温度"});
    MeterRecord& fan = addDevice("D2", {"X"});
    startPeriod();
    boiler.ChannelValues[0] = 95.5f;
    boiler.AlarmHHA[0] = 1;
    fan.Online = 0;  // its flags still count for the text
    fan.AlarmLA[0] = 1;

    tick();
    EXPECT_EQ(label(), "延时计时：  1");
    tick();
    EXPECT_EQ(label(), "发出短息。      ");
    ASSERT_TRUE(module->waitForMessages(1));
    EXPECT_EQ(module->messages()[0].text, "8613800000001:温度超限\n锅炉1--温度\t95.5kPa\nD2--X\tERRkPa\n\r\n");

    PortHandle port;
    EXPECT_TRUE(OpenComPort(port, Com3, 2)) << "closed right after the message";
    CloseComPort(port);
}

TEST_F(SmsStep, HeldPortDelaysTheMessageUntilItOpens)
{
    MeterRecord& meter = addDevice("D1", {"CH1"});
    startPeriod();
    meter.AlarmHA[0] = 1;
    PortHandle held;
    ASSERT_TRUE(OpenComPort(held, Com3, 2));

    tick();
    for (int i = 0; i < 2; ++i) {
        tick();
        EXPECT_EQ(label(), "短信模块串口无法打开!");
        EXPECT_EQ(form->Sms.SmsDelayCounter, 1) << "the due second comes again";
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
    MeterRecord& meter = addDevice("D1", {"CH1"});
    startPeriod();
    meter.AlarmHA[0] = 1;
    tick();
    meter.AlarmHA[0] = 0;
    tick();
    meter.AlarmHA[0] = 1;
    tick();
    EXPECT_EQ(label(), "延时计时：  1");
    tick();
    EXPECT_EQ(label(), "发出短息。      ");
    EXPECT_TRUE(module->waitForMessages(1));
}

TEST_F(SmsStep, RunModeStartsTheScheduleAfresh)
{
    form->Sms.SmsDelayCounter = 7;
    form->Sms.SmsPhoneIndex = 3;
    form->Sms.SmsMeterCursor = 2;
    form->Sms.SmsChannelCursor = 5;
    form->Sms.SmsItemCursor = 12;
    form->Sms.SmsSentCount = 4;
    form->EnterConfigMode();
    form->EnterRunMode();
    form->timer_PerSecond->stop();
    const SmsAlarm& sms = form->Sms;
    EXPECT_EQ((std::vector<int>{sms.SmsDelayCounter, sms.SmsPhoneIndex, sms.SmsMeterCursor, sms.SmsChannelCursor,
                                sms.SmsItemCursor, sms.SmsSentCount}),
              std::vector<int>(6, 0));
}

class SmsSave : public Station {
protected:
    std::string iniFile() const { return readFileBytes(dir.file("Res/GSM_Alarm.ini")); }
};

TEST_F(SmsSave, WritesEveryKeyInOrderAndTheNextStartReadsThemBack)
{
    form->EnterConfigMode();
    widget<QCheckBox>(*form, "GSMcbAlarmEn")->setChecked(true);
    widget<QComboBox>(*form, "GSMcbbCOM")->setCurrentIndex(3);
    widget<QCheckBox>(*form, "GSMcbPWR_AlarmEn")->setChecked(true);
    widget<QLineEdit>(*form, "GSMedAlarmPWR_CH")->setText("2");
    widget<QLineEdit>(*form, "GSMedAlarmDelayT")->setText("7");
    widget<QLineEdit>(*form, "GSMedAlarmReload")->setText("15");
    widget<QPlainTextEdit>(*form, "GSMmeAlarmText")->setPlainText("温度超限");
    widget<StringGrid>(*form, "GSM_SG_PhoneNum")->setCell(1, 1, "张三");
    widget<StringGrid>(*form, "GSM_SG_PhoneNum")->setCell(2, 1, "13800000001");
    widget<StringGrid>(*form, "GSM_SG_PhoneNum")->setCell(1, 10, "Li");
    widget<StringGrid>(*form, "GSM_SG_PhoneNum")->setCell(2, 10, "13900000010");
    widget<QPushButton>(*form, "btnGSM_SetSave")->click();

    std::string phones;
    for (int row = 1; row <= 10; ++row) {
        const std::string k = std::to_string(row);
        const std::string name = row == 1 ? "\xD5\xC5\xC8\xFD" : row == 10 ? "Li" : "";  // 张三 in GBK
        const std::string number = row == 1 ? "13800000001" : row == 10 ? "13900000010" : "";
        phones += "Name" + k + "=" + name + "\r\nNum" + k + "=" + number + "\r\n";
    }
    EXPECT_EQ(iniFile(), "[GSM]\r\nEnable=1\r\nCOM=3\r\nPWR_ALARM=1\r\nPWR_CH=2\r\nDelay=7\r\nReload=15\r\nText="
                             "\xCE\xC2\xB6\xC8\xB3\xAC\xCF\xDE\r\n[PhoneList]\r\n" + phones);  // 温度超限

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
    widget<QLineEdit>(*form, "GSMedAlarmReload")->setText("abc");
    EXPECT_THROW(form->btnGSM_SetSaveClick(), EConvertError);
    EXPECT_EQ(iniFile(), "[GSM]\r\nEnable=0\r\nCOM=0\r\nPWR_ALARM=0\r\nPWR_CH=1\r\nDelay=10\r\n");
}

// Clicked on the window, the same error comes up in the program's exception
// box, and the window goes on to its next event.
TEST_F(SmsSave, ClickedSaveShowsTheConversionErrorAndTheProgramGoesOn)
{
    form->EnterConfigMode();
    QPushButton* save = widget<QPushButton>(*form, "btnGSM_SetSave");
    widget<QLineEdit>(*form, "GSMedAlarmReload")->setText("abc");
    save->click();
    const ShownMessage error{"Norvik", "'abc' is not a valid integer value."};
    EXPECT_EQ(boxes.shown(), std::vector<ShownMessage>{error});

    widget<QLineEdit>(*form, "GSMedAlarmReload")->setText("15");
    QTimer::singleShot(0, save, &QPushButton::click);
    QCoreApplication::processEvents();
    EXPECT_NE(iniFile().find("Reload=15\r\nText="), std::string::npos);
    EXPECT_EQ(boxes.shown().size(), 1u);
}

}  // namespace
