#include "DemoFiles.h"

#include <QDir>
#include <QFile>

#include <cstdio>
#include <memory>

#include "AlarmSound.h"
#include "DemoPlant.h"
#include "platform/IniFile.h"
#include "station/ConfigFile.h"

namespace {

const QString StationName = QStringLiteral("Norvik 演示站");
// Long enough to see the alarm panels blink blue before the window and sound.
constexpr int AlarmDelaySeconds = 5;
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

bool writeSettings(const QString& baseDir)
{
    const QString res = baseDir + QStringLiteral("/Res");
    QDir().mkpath(res);
    try {
        IniFile(res + QStringLiteral("/MFPara.ini")).WriteString(QStringLiteral("MFPARA"), QStringLiteral("MFNAME"), StationName);
        IniFile(res + QStringLiteral("/GSM_Alarm.ini")).WriteInteger(QStringLiteral("GSM"), QStringLiteral("Delay"), AlarmDelaySeconds);
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
