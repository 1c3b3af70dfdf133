#include "station/core/SmsAlarm.h"

#include <algorithm>
#include <limits>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "shared/ChannelOrder.h"
#include "station/core/AlarmLevels.h"

namespace {

constexpr qsizetype PhoneNumberBytes = 11;
constexpr std::int64_t SecondsBetweenMessages = 20;
constexpr std::int64_t SecondsPerMinute = 60;

// The page's numbers as the cycle reads them: text that is no whole number
// counts as 0 rather than stopping the tick.
std::int32_t wholeNumber(const QString& text)
{
    return StrToIntDef(text, 0);
}

std::int32_t clampToInt32(std::int64_t value)
{
    return std::int32_t(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                 std::numeric_limits<std::int32_t>::max()));
}

bool inAlarm(const MeterRecord& meter, int channel)
{
    return channelAlarmBits(meter, channel) != 0;
}

// Whether the n-th channel in global order (from 1) carries an alarm flag;
// no such channel carries none.
bool powerChannelInAlarm(const QString& powerChannel, const SmsChannels& channels)
{
    const int number = wholeNumber(powerChannel);
    if (number < 1)
        return false;
    bool alarm = false;
    forEachChannel(channels.meters, channels.meterCount, [&](int k, int j, int g) {
        if (g == number - 1)
            alarm = inAlarm(channels.meters[k], j);
    });
    return alarm;
}

QByteArray channelLine(const SmsChannelTexts& texts)
{
    return toGbk(texts.title + '\t' + texts.value + texts.unit + '\n');
}

// "86" + number + ":" + the alarm text's lines joined by CR LF + "\n".
QByteArray smsHeader(const QString& phoneNumber, QString alarmText)
{
    return toGbk("86" + phoneNumber + ':' + alarmText.replace('\n', QStringLiteral("\r\n")) + '\n');
}

}  // namespace

QString SmsAlarm::alarmSecond(const SmsSettings& page, const SmsChannels& channels, const SmsDeliver& deliver)
{
    // A negative Reload can leave the counter at the top of its range.
    if (SmsDelayCounter < std::numeric_limits<std::int32_t>::max())
        ++SmsDelayCounter;
    QString label = QStringLiteral("延时计时：  ") + QString::number(SmsDelayCounter);
    const std::int32_t delay = wholeNumber(page.delay);
    if (toGbk(page.phoneNumbers[SmsPhoneIndex]).size() != PhoneNumberBytes)
        ++SmsPhoneIndex;
    else if (messageDue(delay))
        label = send(page, channels, deliver);
    if (SmsPhoneIndex >= SmsPhoneRows)
        endPass(delay, wholeNumber(page.reload));
    return label;
}

void SmsAlarm::reset()
{
    *this = SmsAlarm();
}

// Only on the very second: a row that comes up after it waits for the next pass.
bool SmsAlarm::messageDue(std::int32_t delay) const
{
    return SmsDelayCounter == std::int64_t(delay) + SecondsBetweenMessages * SmsSentCount;
}

QString SmsAlarm::send(const SmsSettings& page, const SmsChannels& channels, const SmsDeliver& deliver)
{
    const Message message = compose(page, channels);
    if (!deliver(page.portIndex, message.text)) {
        // The same message stays due and goes out once the port opens.
        --SmsDelayCounter;
        return QStringLiteral("短信模块串口无法打开!");
    }
    setCursors(message.next);
    if (SmsMeterCursor >= channels.meterCount) {
        ++SmsPhoneIndex;
        setCursors({0, 0, 0});
    }
    ++SmsSentCount;
    return QStringLiteral("发出短息。      ");
}

SmsAlarm::Message SmsAlarm::compose(const SmsSettings& page, const SmsChannels& channels) const
{
    Message message{smsHeader(page.phoneNumbers[SmsPhoneIndex], page.alarmText),
                    {SmsMeterCursor, SmsChannelCursor, SmsItemCursor}};
    QByteArray& text = message.text;
    if (page.powerAlarm && powerChannelInAlarm(page.powerChannel, channels))
        text += toGbk(QStringLiteral("系统断电!!\n"));

    Cursors& at = message.next;
    const auto stepPast = [&at](const MeterRecord& meter) {
        ++at.item;
        if (++at.channel >= meter.channelCount()) {
            ++at.meter;
            at.channel = 0;
        }
    };
    bool lineTaken = false;
    while (at.meter < channels.meterCount) {
        const MeterRecord& meter = channels.meters[at.meter];
        if (at.channel >= meter.channelCount()) {  // a device without channels
            ++at.meter;
            at.channel = 0;
            continue;
        }
        if (inAlarm(meter, at.channel)) {
            const QByteArray line = channelLine(channels.texts(at.item));
            if (text.size() + line.size() > SmsTextLimit) {
                if (lineTaken)
                    break;  // the rest goes in the next message
                // Too long for any message: what fits goes, so that the
                // schedule moves on rather than sending this row nothing.
                text += gbkCut(line, std::size_t(std::max<qsizetype>(SmsTextLimit - text.size(), 0)));
                stepPast(meter);
                break;
            }
            text += line;
            lineTaken = true;
        }
        stepPast(meter);
    }
    text += "\r\n";
    return message;
}

void SmsAlarm::setCursors(Cursors cursors)
{
    SmsMeterCursor = cursors.meter;
    SmsChannelCursor = cursors.channel;
    SmsItemCursor = cursors.item;
}

// The next pass's first message falls due Reload minutes after this one ends.
void SmsAlarm::endPass(std::int32_t delay, std::int32_t reload)
{
    *this = SmsAlarm();
    SmsDelayCounter = clampToInt32(delay - SecondsPerMinute * reload);
}
