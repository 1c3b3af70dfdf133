#include "DemoFiles.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <iterator>
#include <memory>

#include "AlarmSound.h"
#include "DemoPlant.h"
#include "platform/IniFile.h"
#include "station/core/ConfigFile.h"
#include "station/core/SmsSettingsFile.h"

namespace {

const QString StationName = QStringLiteral("Norvik 演示站");
// Long enough to see the alarm panels blink blue before the window and sound;
// also the seconds of alarm before the first SMS text.
constexpr int AlarmDelaySeconds = 5;
// The simulated GSM module that scripts/demo serves behind Res/COM3.
constexpr int GsmComPort = 2;
constexpr int SmsReloadMinutes = 1;
const QString SmsText = QStringLiteral("演示站测量数据超限！");
// The second number is one digit short: its row is skipped, and the third
// gets its text 20 seconds after the first, while the minute's alarm lasts.
const QString SmsPhones[][2] = {
    {QStringLiteral("值班长"), QStringLiteral("13800138001")},
    {QStringLiteral("错号"), QStringLiteral("1380013800")},
    {QStringLiteral("厂长"), QStringLiteral("13900139002")},
};
constexpr float CurvesLow = 0, CurvesHigh = 100;

bool fail(const QString& path)
{
    std::fprintf(stderr, "democonfig: cannot write %s\n", qPrintable(path));
    return false;
}

// A new file each time, so that the demo starts from its own settings
// whatever an earlier run saved (the password is "418263" again).
bool writeConfig(const QString& baseDir, int tcpPort)
{
    const QString path = ConfigFile::pathIn(baseDir);
    QFile::remove(path);
    auto table = std::make_unique<DeviceTable>();
    QString password;
    if (ConfigFile::createWithDefaults(path, table->MeterCount, password) != ConfigFile::Creation::Created)
        return fail(path);
    fillDemoTable(*table, tcpPort);
    std::int32_t bauds[MaxComPorts] = {};
    fillDemoBaudTable(bauds);
    if (!ConfigFile::saveMeterConfig(path, *table) || !ConfigFile::savePortBaudTable(path, bauds)
        || !ConfigFile::saveCurvesRange(path, CurvesLow, CurvesHigh))
        return fail(path);
    return true;
}

// SMS alarm on, afresh whatever an earlier run saved on its page.
void writeSmsSettings(const QString& path)
{
    QFile::remove(path);
    SmsPageSettings settings = SmsSettingsFile::load(path);
    settings.enabled = true;
    settings.sms.portIndex = GsmComPort;
    settings.sms.delay = QString::number(AlarmDelaySeconds);
    settings.sms.reload = QString::number(SmsReloadMinutes);
    settings.sms.alarmText = SmsText;
    for (std::size_t i = 0; i < std::size(SmsPhones); ++i) {
        settings.phoneNames[i] = SmsPhones[i][0];
        settings.sms.phoneNumbers[i] = SmsPhones[i][1];
    }
    SmsSettingsFile::save(path, settings);
}

bool writeSettings(const QString& baseDir)
{
    const QString res = baseDir + QStringLiteral("/Res");
    QDir().mkpath(res);
    try {
        IniFile(res + QStringLiteral("/MFPara.ini")).WriteString(QStringLiteral("MFPARA"), QStringLiteral("MFNAME"), StationName);
        writeSmsSettings(res + QStringLiteral("/GSM_Alarm.ini"));
    } catch (const IniFileError& error) {
        std::fprintf(stderr, "democonfig: %s\n", error.what());
        return false;
    }
    return true;
}

}  // namespace

bool writeDemoFiles(const QString& baseDir, int tcpPort)
{
    const QString sound = baseDir + QStringLiteral("/Alarm.wav");
    if (!writeSettings(baseDir) || !writeConfig(baseDir, tcpPort))
        return false;
    return writeAlarmSound(sound.toStdString()) || fail(sound);
}
