#pragma once
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

#include "shared/MeterRecord.h"

constexpr int SmsPhoneRows = 10;
// Bytes of a message before its closing "\r\n".
constexpr int SmsTextLimit = 140;

// The SMS page as it stands in the second the step runs.
struct SmsSettings {
    int portIndex = 0;  // 0 = COM1
    bool powerAlarm = false;
    QString powerChannel;  // n: the n-th channel in global order, from 1
    QString delay;         // seconds of alarm before the first message
    QString reload;        // minutes between passes
    QString alarmText;     // lines separated by "\n"
    std::array<QString, SmsPhoneRows> phoneNumbers;
};

// A channel as its overview panel shows it in this tick.
struct SmsChannelTexts {
    QString title;
    QString value;
    QString unit;
};

// The configured channels: the device slots with their alarm flags, and the
// overview texts by global channel index.
struct SmsChannels {
    const MeterRecord* meters = nullptr;
    int meterCount = 0;
    std::function<SmsChannelTexts(int g)> texts;
};

// Writes one message to the GSM module on port portIndex; false when the
// port cannot be opened.
using SmsDeliver = std::function<bool(int portIndex, const QByteArray& text)>;

// The SMS schedule of an alarm, one call per second of alarm: a first
// message after Delay seconds, then one every 20 seconds, each phone row in
// turn getting every channel in alarm in as many messages as the 140-byte
// limit takes; after the tenth row a pause of Reload minutes.
class SmsAlarm {
public:
    // One second of alarm: counts it, sends the message when one is due, and
    // returns the text for the status label.
    QString alarmSecond(const SmsSettings& page, const SmsChannels& channels, const SmsDeliver& deliver);
    // All back to the start: in a second without alarm and on entering run
    // mode, so that no cursor outlives the device table it walked.
    void reset();

    std::int32_t SmsDelayCounter = 0;
    std::int32_t SmsPhoneIndex = 0;  // 0..9: phone row SmsPhoneIndex + 1
    // The next channel to examine for the current row: device slot, channel,
    // and the same as a global channel index.
    std::int32_t SmsMeterCursor = 0;
    std::int32_t SmsChannelCursor = 0;
    std::int32_t SmsItemCursor = 0;
    std::int32_t SmsSentCount = 0;  // messages of this pass, over all rows

private:
    struct Cursors {
        std::int32_t meter, channel, item;
    };
    struct Message {
        QByteArray text;
        Cursors next;
    };

    bool messageDue(std::int32_t delay) const;
    QString send(const SmsSettings& page, const SmsChannels& channels, const SmsDeliver& deliver);
    Message compose(const SmsSettings& page, const SmsChannels& channels) const;
    void setCursors(Cursors cursors);
    void endPass(std::int32_t delay, std::int32_t reload);
};
