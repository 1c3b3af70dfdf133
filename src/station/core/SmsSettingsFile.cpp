#include "station/core/SmsSettingsFile.h"

#include "platform/Conversions.h"
#include "platform/IniFile.h"

namespace {

const QString Gsm = QStringLiteral("GSM");
const QString PhoneList = QStringLiteral("PhoneList");

QString nameKey(int row) { return QStringLiteral("Name%1").arg(row); }
QString numberKey(int row) { return QStringLiteral("Num%1").arg(row); }

}  // namespace

namespace SmsSettingsFile {

SmsPageSettings load(const QString& path)
{
    const IniFile ini(path);
    SmsPageSettings settings;
    settings.enabled = ini.ReadBool(Gsm, QStringLiteral("Enable"), false);
    SmsSettings& sms = settings.sms;
    sms.portIndex = ini.ReadInteger(Gsm, QStringLiteral("COM"), 0);
    sms.powerAlarm = ini.ReadBool(Gsm, QStringLiteral("PWR_ALARM"), false);
    sms.powerChannel = ini.ReadString(Gsm, QStringLiteral("PWR_CH"), QStringLiteral("1"));
    sms.delay = ini.ReadString(Gsm, QStringLiteral("Delay"), QStringLiteral("10"));
    sms.reload = ini.ReadString(Gsm, QStringLiteral("Reload"), QStringLiteral("60"));
    sms.alarmText = ini.ReadString(Gsm, QStringLiteral("Text"), QStringLiteral("ALARM!"));
    for (int row = 1; row <= SmsPhoneRows; ++row) {
        settings.phoneNames[row - 1] = ini.ReadString(PhoneList, nameKey(row), QString());
        sms.phoneNumbers[row - 1] = ini.ReadString(PhoneList, numberKey(row), QString());
    }
    return settings;
}

void save(const QString& path, const SmsPageSettings& settings)
{
    const IniFile ini(path);
    const SmsSettings& sms = settings.sms;
    ini.WriteBool(Gsm, QStringLiteral("Enable"), settings.enabled);
    ini.WriteInteger(Gsm, QStringLiteral("COM"), sms.portIndex);
    ini.WriteBool(Gsm, QStringLiteral("PWR_ALARM"), sms.powerAlarm);
    ini.WriteInteger(Gsm, QStringLiteral("PWR_CH"), StrToInt(sms.powerChannel));
    ini.WriteInteger(Gsm, QStringLiteral("Delay"), StrToInt(sms.delay));
    ini.WriteInteger(Gsm, QStringLiteral("Reload"), StrToInt(sms.reload));
    ini.WriteString(Gsm, QStringLiteral("Text"), sms.alarmText);
    for (int row = 1; row <= SmsPhoneRows; ++row) {
        ini.WriteString(PhoneList, nameKey(row), settings.phoneNames[row - 1]);
        ini.WriteString(PhoneList, numberKey(row), sms.phoneNumbers[row - 1]);
    }
}

}  // namespace SmsSettingsFile
