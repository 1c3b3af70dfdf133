#pragma once
#include <cstdint>
#include <string>

#include "platform/DateTime.h"
#include "shared/MeterRecord.h"

// The per-device log: GBK text, TAB after every field, LF after every line,
// one file per device slot and half day:
// BaseDir/YY年MM月/DD日AM|PM/<MeterName>_<slot>.xls

// Counts one tick towards the slot's next log line; true (and the count back
// to 0) when the line is due: every interval ticks, every tick for 1 or less.
bool takeMeterLogTick(std::int32_t& ticks, std::int32_t interval);

// The log file of the slot for time t, its base, month and half-day folders
// created when missing. Characters of the device name that would lead out of
// the half-day folder or are no valid file name part become "_".
std::string makeMeterLogPath(const std::string& baseDir, TDateTime t, const MeterConfig& meter, int slot);

// The device name as a file name part.
std::string meterLogFileNamePart(const QString& meterName);

// Appends the line for time t: the values while the device is online, ERR
// for every channel while it is not. A new (or empty) file gets the heading
// of channel names first. A line cut short is taken back, so the next line
// starts on a line of its own. Returns whether the line was written.
bool appendMeterLogLine(const std::string& path, const MeterRecord& meter, TDateTime t);
