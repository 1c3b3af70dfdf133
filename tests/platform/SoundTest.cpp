#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>

#include "platform/Sound.h"

namespace {

// A tenth of a second of silence: 8 kHz, mono, 16-bit PCM.
QByteArray silentWav()
{
    const std::uint32_t dataBytes = 1600;
    auto u32 = [](std::uint32_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 4); };
    auto u16 = [](std::uint16_t v) { return QByteArray(reinterpret_cast<const char*>(&v), 2); };
    return "RIFF" + u32(36 + dataBytes) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(8000) + u32(16000) + u16(2) +
           u16(16) + "data" + u32(dataBytes) + QByteArray(int(dataBytes), '\0');
}

TEST(Sound, CaptureRecordsWhatWouldPlay)
{
    SoundCapture capture;
    PlaySoundFile(QStringLiteral("/base/Alarm.wav"));
    PlaySoundFile(QStringLiteral("/base/Alarm.wav"));
    EXPECT_EQ(capture.played(), (std::vector<QString>{"/base/Alarm.wav", "/base/Alarm.wav"}));
}

TEST(Sound, PlayingWithoutADeviceOrFileSaysNothing)
{
    QTemporaryDir dir;
    QFile wav(dir.filePath(QStringLiteral("Alarm.wav")));
    ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
    wav.write(silentWav());
    wav.close();

    testing::internal::CaptureStderr();
    PlaySoundFile(wav.fileName());
    PlaySoundFile(wav.fileName());  // cuts off the first
    PlaySoundFile(dir.filePath(QStringLiteral("missing.wav")));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
