// The SMS schedule and its messages, driven one second of alarm per call,
// the module's port replaced by a recorder.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/Gbk.h"
#include "station/core/SmsAlarm.h"
#include "support/DeviceSlots.h"

namespace {

QByteArray gbk(const char* utf8)
{
    return toGbk(QString::fromUtf8(utf8));
}

struct Sent {
    int second;
    int port;
    QByteArray text;
};

class SmsSchedule : public testing::Test {
protected:
    void SetUp() override
    {
        page.portIndex = 2;
        page.delay = "1";
        page.reload = "60";
        page.alarmText = "A";
    }

    // The next device slot with its channels, online, none in alarm.
    MeterRecord& addOnlineDevice(int channels)
    {
        MeterRecord& m = appendDevice(meters.get(), meterCount, namedDevice("D", numberedNames("CH", channels)));
        m.Online = 1;
        return m;
    }

    // Seconds of alarm, one call each, counted on from the last.
    void alarmFor(int seconds)
    {
        const SmsChannels channels{meters.get(), meterCount, [this](int g) {
                                       const auto it = texts.find(g);
                                       return it != texts.end() ? it->second
                                                                : SmsChannelTexts{QStringLiteral("C%1").arg(g), "1", ""};
                                   }};
        const SmsDeliver deliver = [this](int port, const QByteArray& text) {
            if (portOpens)
                sent.push_back({second, port, text});
            return portOpens;
        };
        for (int i = 0; i < seconds; ++i) {
            ++second;
            labels[second] = sms.alarmSecond(page, channels, deliver);
        }
    }

    std::vector<int> sentSeconds() const
    {
        std::vector<int> seconds;
        for (const Sent& s : sent)
            seconds.push_back(s.second);
        return seconds;
    }

    std::unique_ptr<MeterRecord[]> meters = std::make_unique<MeterRecord[]>(4);
    std::int32_t meterCount = 0;
    std::map<int, SmsChannelTexts> texts;  // by global index; others "C<g>", "1", no unit
    SmsSettings page;
    SmsAlarm sms;
    bool portOpens = true;
    int second = 0;
    std::map<int, QString> labels;  // by second of alarm, from 1
    std::vector<Sent> sent;
};

TEST_F(SmsSchedule, OneMessageEveryTwentySecondsPerRowThenReloadMinutes)
{
    page.delay = "3";
    page.reload = "1";
    page.phoneNumbers[0] = "13800000001";
    page.phoneNumbers[1] = "13800000002";
    page.phoneNumbers[2] = "13800000003";
    addOnlineDevice(1).AlarmHA[0] = 1;

    alarmFor(111);

    EXPECT_EQ(sentSeconds(), (std::vector<int>{3, 23, 43, 110}));
    const char* numbers[] = {"13800000001", "13800000002", "13800000003", "13800000001"};
    for (std::size_t i = 0; i < sent.size(); ++i) {
        EXPECT_EQ(sent[i].text, QByteArray("86") + numbers[i] + ":A\nC0\t1\n\r\n") << i;
        EXPECT_EQ(sent[i].port, 2);
    }
    EXPECT_EQ(labels[1], "延时计时：  1");
    EXPECT_EQ(labels[3], "发出短息。      ");
    EXPECT_EQ(labels[4], "延时计时：  4");
    // Rows 4 to 10 are empty, one skipped a second: the pass ends in second
    // 50 with the counter set back to 3 - 60.
    EXPECT_EQ(labels[50], "延时计时：  50");
    EXPECT_EQ(labels[51], "延时计时：  -56");
    EXPECT_EQ(labels[107], "延时计时：  0");
    EXPECT_EQ(labels[109], "延时计时：  2");
    EXPECT_EQ(sms.SmsPhoneIndex, 1);
    EXPECT_EQ(sms.SmsSentCount, 1);
}

TEST_F(SmsSchedule, NothingIsSentWhenNoRowMeetsItsSecond)
{
    struct Case {
        const char* name;
        const char* delay;
        int firstValidRow;
    };
    const Case cases[] = {
        {"DelayZero", "0", 0},
        {"DelayNegative", "-5", 0},
        {"DelayNoWholeNumber", "3s", 0},
        {"FirstValidRowAfterItsSecond", "2", 3},
    };
    addOnlineDevice(1).AlarmLA[0] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sms.reset();
        sent.clear();
        page.delay = c.delay;
        for (int row = 0; row < SmsPhoneRows; ++row)
            page.phoneNumbers[row] = row < c.firstValidRow ? "" : "13800000001";
        alarmFor(300);
        EXPECT_TRUE(sent.empty());
    }
}

TEST_F(SmsSchedule, ReloadThatIsNoWholeNumberEndsTheAlarmsTextsAfterOnePass)
{
    page.delay = "3";
    page.reload = "abc";
    page.phoneNumbers[0] = "13800000001";
    addOnlineDevice(1).AlarmLA[0] = 1;
    alarmFor(300);
    EXPECT_EQ(sentSeconds(), std::vector<int>{3});
}

TEST_F(SmsSchedule, ResetStartsTheDelayAgain)
{
    page.delay = "3";
    page.phoneNumbers[0] = "13800000001";
    page.phoneNumbers[1] = "13800000002";
    addOnlineDevice(1).AlarmLA[0] = 1;
    alarmFor(10);
    sms.reset();  // a second without alarm
    alarmFor(3);
    EXPECT_EQ(sentSeconds(), (std::vector<int>{3, 13}));
    EXPECT_TRUE(sent[1].text.startsWith("8613800000001:")) << "from the first row again";
}

TEST_F(SmsSchedule, MessageBytes)
{
    page.alarmText = QString::fromUtf8("温度超限\n请处理");
    page.phoneNumbers[0] = "13800000001";
    page.powerChannel = "1";
    addOnlineDevice(2).AlarmHHA[0] = 1;
    addOnlineDevice(1).AlarmLA[0] = 1;
    texts[0] = {QString::fromUtf8("锅炉1--温度"), "95.5", QString::fromUtf8("℃")};
    texts[2] = {"D2--X", "ERR", "kPa"};

    // 温度超限 CR LF 请处理, 锅炉1--温度 and ℃ in GBK.
    const QByteArray header("8613800000001:\xCE\xC2\xB6\xC8\xB3\xAC\xCF\xDE\r\n\xC7\xEB\xB4\xA6\xC0\xED\n");
    const QByteArray lines("\xB9\xF8\xC2\xAF" "1--\xCE\xC2\xB6\xC8\t95.5\xA1\xE6\nD2--X\tERRkPa\n");
    const QByteArray powerLine("\xCF\xB5\xCD\xB3\xB6\xCF\xB5\xE7!!\n");

    alarmFor(1);
    page.powerAlarm = true;
    sms.reset();
    alarmFor(1);

    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].text, header + lines + "\r\n");
    EXPECT_EQ(sent[1].text, header + powerLine + lines + "\r\n");
}

TEST_F(SmsSchedule, PowerLineWatchesTheNthChannelInGlobalOrder)
{
    struct Case {
        const char* powerChannel;
        bool powerAlarm;
        bool line;
    };
    const Case cases[] = {
        {"1", true, true},   {"3", true, true},   // channel 0 of the second device
        {"2", true, false},  {"4", true, false},  // not in alarm; past the last channel
        {"0", true, false},  {"x", true, false}, {"1", false, false},
    };
    page.phoneNumbers[0] = "13800000001";
    addOnlineDevice(2).AlarmLLA[0] = 1;
    addOnlineDevice(1).AlarmHA[0] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.powerChannel) + (c.powerAlarm ? " on" : " off"));
        page.powerChannel = c.powerChannel;
        page.powerAlarm = c.powerAlarm;
        sms.reset();
        sent.clear();
        alarmFor(1);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].text.contains(gbk("系统断电!!\n")), c.line);
    }
}

// Header "8613800000001:A\n" (16 bytes) and "C0\t1\n" (5) leave 119 bytes for
// the second channel's line, its title plus 3.
TEST_F(SmsSchedule, LinesUpTo140BytesShareAMessage)
{
    struct Case {
        const char* name;
        QString title;
        bool powerAlarm;
        bool fits;
    };
    const Case cases[] = {
        {"Exactly140", QString(116, 'b'), false, true},
        {"OneByteOver", QString(117, 'b'), false, false},
        {"ChineseCountsTwoBytes", QString::fromUtf8("温").repeated(58), false, true},
        {"ChineseOneByteOver", QString::fromUtf8("温").repeated(58) + "b", false, false},
        {"PowerLineCounts", QString(105, 'b'), true, true},
        {"PowerLineCountsOneOver", QString(106, 'b'), true, false},
    };
    page.phoneNumbers[0] = "13800000001";
    page.phoneNumbers[1] = "13800000002";
    page.powerChannel = "1";
    MeterRecord& meter = addOnlineDevice(2);
    meter.AlarmHA[0] = 1;
    meter.AlarmHA[1] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        texts[1] = {c.title, "1", ""};
        page.powerAlarm = c.powerAlarm;
        sms.reset();
        sent.clear();
        second = 0;
        alarmFor(41);

        const QByteArray header = QByteArray("8613800000001:A\n") + (c.powerAlarm ? gbk("系统断电!!\n") : "");
        const QByteArray firstLine("C0\t1\n");
        const QByteArray secondLine = toGbk(c.title) + "\t1\n";
        ASSERT_EQ(header.size() + firstLine.size() + secondLine.size(), c.fits ? 140 : 141);
        ASSERT_GE(sent.size(), 2u);
        if (c.fits) {
            EXPECT_EQ(sent[0].text, header + firstLine + secondLine + "\r\n");
            EXPECT_TRUE(sent[1].text.startsWith("8613800000002:")) << "the next row, 20 s on";
        } else {
            EXPECT_EQ(sent[0].text, header + firstLine + "\r\n");
            EXPECT_EQ(sent[1].text, header + secondLine + "\r\n") << "the same row, 20 s on";
        }
        EXPECT_EQ(sent[1].second, 21);
    }
}

TEST_F(SmsSchedule, LineTooLongForAnyMessageIsCutAndTheRowsGoOn)
{
    struct Case {
        const char* name;
        QString alarmText;
        QString title;
        QByteArray channelPart;  // what the message carries of the line
    };
    const QString longTitle = "a" + QString::fromUtf8("温").repeated(100);
    const Case cases[] = {
        {"LongAlarmText", QString(130, 'M'), "T", ""},
        {"LongTitleCutAtACharacter", "A", longTitle, "a" + gbk("温").repeated(61)},
    };
    page.phoneNumbers[0] = "13800000001";
    page.phoneNumbers[1] = "13800000002";
    addOnlineDevice(1).AlarmHA[0] = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        page.alarmText = c.alarmText;
        texts[0] = {c.title, "1", ""};
        sms.reset();
        sent.clear();
        second = 0;
        alarmFor(60);
        ASSERT_EQ(sentSeconds(), (std::vector<int>{1, 21})) << "each row once, then the pass ends";
        for (int row = 0; row < 2; ++row)
            EXPECT_EQ(sent[row].text, "86" + toGbk(page.phoneNumbers[row]) + ":" + toGbk(c.alarmText) + "\n" +
                                          c.channelPart + "\r\n");
    }
}

}  // namespace
