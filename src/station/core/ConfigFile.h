#pragma once
#include <QString>

#include <cstdint>

#include "shared/DeviceTable.h"
#include "shared/MeterRecord.h"

// "Config.dat": the station's configuration store, a fixed layout of raw
// little-endian values. Every routine opens the file, seeks to its field,
// transfers it and closes the file again.
//
// Saves open the file "r+b" and never create it; they return false when the
// file cannot be opened or written, and the caller shows WriteFailedText.
// Loads transfer nothing when the file cannot be opened; bytes missing from
// a short file read as zero; values outside their ranges are clamped, so
// that no table is indexed out of bounds. Loading never writes the file.
namespace ConfigFile {

constexpr long MeterCountOffset = 0;
constexpr long PasswordOffset = 4;
constexpr long CurvesBackColorOffset = 14;
constexpr long PortBaudTableOffset = 18;
constexpr long CurvesRangeOffset = 178;
constexpr long MeterSlotsOffset = 2048;
constexpr long FileSize = MeterSlotsOffset + MaxMeters * long(sizeof(MeterConfig));
static_assert(FileSize == 477608);

constexpr int PasswordBytes = 8;
constexpr int MaxBaudIndex = 7;
inline const QString DefaultPassword = QStringLiteral("418263");
inline const QString WriteFailedText = QStringLiteral("无法写入 Config.dat");

// BaseDir + "/Config.dat".
QString pathIn(const QString& baseDir);
// File offset of device slot k.
constexpr std::int32_t slotOffset(int slot) { return std::int32_t(MeterSlotsOffset + slot * long(sizeof(MeterConfig))); }

enum class Creation { Existing, Created, Failed };

// Used unchanged when it can be opened for reading. Otherwise created with
// 477,608 zero bytes and the default password; meterCount := 0 and
// password := "418263" then, also when the file cannot be created.
Creation createWithDefaults(const QString& path, std::int32_t& meterCount, QString& password);

// The count at offset 0, then slots 0..MeterCount-1, each with its own open.
[[nodiscard]] bool saveMeterConfig(const QString& path, const DeviceTable& table);
// The count (clamped to 0..120), then slots 0..count-1 into the table's
// stored parts; run-time parts are not touched.
bool loadMeterConfig(const QString& path, DeviceTable& table);

[[nodiscard]] bool saveCurvesBackColor(const QString& path, std::int32_t color);
bool loadCurvesBackColor(const QString& path, std::int32_t& color);

[[nodiscard]] bool saveCurvesRange(const QString& path, float low, float high);
bool loadCurvesRange(const QString& path, float& low, float& high);

// Baud indexes 0..7 of COM1..COM40.
[[nodiscard]] bool savePortBaudTable(const QString& path, const std::int32_t (&table)[MaxComPorts]);
bool loadPortBaudTable(const QString& path, std::int32_t (&table)[MaxComPorts]);

// The password's GBK bytes (at most 8, cut on a character boundary), padded
// with NUL bytes to the 8-byte field.
[[nodiscard]] bool savePassword(const QString& path, const QString& password);
// Read up to its NUL; a password of the full eight bytes has none to stop at.
bool loadPassword(const QString& path, QString& password);

// The 3,963 stored bytes of one slot, at the offset given (slotOffset(k)).
[[nodiscard]] bool writeMeterRecord(const QString& path, const MeterRecord& record, std::int32_t offset);
// Into the record's stored part, clamped: channel count 1..48, COM port
// 0..39, register type 0..1, decimal places 0..4 of the channels in use, and
// a text field without NUL gets one in its last byte.
bool readMeterRecord(const QString& path, MeterRecord& record, std::int32_t offset);

} // namespace ConfigFile
