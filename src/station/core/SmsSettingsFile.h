#pragma once
#include <QString>

#include <array>

#include "station/core/SmsAlarm.h"

// "Res/GSM_Alarm.ini": the page "短信报警设置" as it is saved, section [GSM]
// for the settings and [PhoneList] for the contacts.
struct SmsPageSettings {
    bool enabled = false;
    SmsSettings sms;
    std::array<QString, SmsPhoneRows> phoneNames;
};

namespace SmsSettingsFile {

// A missing file or key reads as the page's defaults.
SmsPageSettings load(const QString& path);
// Key by key, in the page's order; the numbers are converted as each is
// written, so an EConvertError leaves the keys before it saved. Throws
// IniFileError when the file cannot be written.
void save(const QString& path, const SmsPageSettings& settings);

}  // namespace SmsSettingsFile
