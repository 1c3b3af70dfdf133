#include "station/core/ConfigFile.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <vector>

#include "platform/Gbk.h"

namespace ConfigFile {

namespace {

// Linux opens a directory for reading, where the system's platform refuses
// it; a directory in the file's place must count as no file.
std::FILE* openFile(const QString& path, const char* mode)
{
    std::FILE* file = std::fopen(QFile::encodeName(path).constData(), mode);
    struct stat info;
    if (file && fstat(fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

// One open of the file, closed when it goes.
class Stream {
public:
    Stream(const QString& path, const char* mode) : file_(openFile(path, mode)) {}
    ~Stream()
    {
        if (file_)
            std::fclose(file_);
    }
    Stream(const Stream&) = delete;
    Stream& operator=(const Stream&) = delete;

    bool isOpen() const { return file_ != nullptr; }

    // Reads size bytes at offset; what lies beyond the end of the file reads as zero.
    void readAt(long offset, void* data, std::size_t size)
    {
        std::memset(data, 0, size);
        if (std::fseek(file_, offset, SEEK_SET) == 0)
            std::fread(data, 1, size, file_);
    }

    bool writeAt(long offset, const void* data, std::size_t size)
    {
        return std::fseek(file_, offset, SEEK_SET) == 0 && std::fwrite(data, 1, size, file_) == size;
    }

    // Closes now, reporting whether the buffered bytes reached the file.
    bool close()
    {
        const bool ok = std::fclose(file_) == 0;
        file_ = nullptr;
        return ok;
    }

private:
    std::FILE* file_;
};

template <typename T>
bool saveField(const QString& path, long offset, const T& value)
{
    Stream s(path, "r+b");
    return s.isOpen() && s.writeAt(offset, &value, sizeof value) && s.close();
}

template <typename T>
bool loadField(const QString& path, long offset, T& value)
{
    Stream s(path, "rb");
    if (!s.isOpen())
        return false;
    s.readAt(offset, &value, sizeof value);
    return true;
}

template <typename T>
T clamped(T value, T low, T high) { return std::clamp(value, low, high); }

template <std::size_t N>
void terminate(char (&field)[N])
{
    if (!std::memchr(field, 0, N))
        field[N - 1] = '\0';
}

void clampSlot(MeterConfig& m)
{
    m.ChannelNum = clamped<std::uint8_t>(m.ChannelNum, 1, MaxChannels);
    m.CommSerial = clamped<std::uint8_t>(m.CommSerial, 0, MaxComPorts - 1);
    m.CommStyle = clamped<std::uint8_t>(m.CommStyle, 0, 1);
    terminate(m.IPAddr);
    terminate(m.MeterName);
    // Entries from ChannelNum on are never read and go back to the file as they came.
    for (int j = 0; j < m.ChannelNum; ++j) {
        ChannelRecord& c = m.Channels[j];
        c.ChannelPoin = clamped<std::uint8_t>(c.ChannelPoin, 0, 4);
        terminate(c.ChannelUnit);
        terminate(c.ChannelName);
    }
}

struct PasswordField {
    char bytes[PasswordBytes] = {};
};
static_assert(sizeof(PasswordField) == PasswordBytes);

PasswordField passwordField(const QString& password)
{
    PasswordField field;
    const QByteArray gbk = gbkCut(toGbk(password), PasswordBytes);
    std::memcpy(field.bytes, gbk.constData(), std::size_t(gbk.size()));
    return field;
}

} // namespace

QString pathIn(const QString& baseDir) { return baseDir + QStringLiteral("/Config.dat"); }

Creation createWithDefaults(const QString& path, std::int32_t& meterCount, QString& password)
{
    if (Stream(path, "rb").isOpen())
        return Creation::Existing;

    meterCount = 0;
    password = DefaultPassword;
    Stream s(path, "w+b");
    if (!s.isOpen())
        return Creation::Failed;
    const std::vector<char> zeros(std::size_t(FileSize), '\0');
    const PasswordField field = passwordField(password);
    const bool ok = s.writeAt(0, zeros.data(), zeros.size()) && s.writeAt(PasswordOffset, &field, sizeof field);
    return s.close() && ok ? Creation::Created : Creation::Failed;
}

bool saveMeterConfig(const QString& path, const DeviceTable& table)
{
    if (!saveField(path, MeterCountOffset, table.MeterCount))
        return false;
    const int count = clamped(int(table.MeterCount), 0, MaxMeters);
    for (int k = 0; k < count; ++k)
        if (!writeMeterRecord(path, table.MeterRecords[k], slotOffset(k)))
            return false;
    return true;
}

bool loadMeterConfig(const QString& path, DeviceTable& table)
{
    std::int32_t count = 0;
    if (!loadField(path, MeterCountOffset, count))
        return false;
    table.MeterCount = clamped<std::int32_t>(count, 0, MaxMeters);
    for (int k = 0; k < table.MeterCount; ++k)
        if (!readMeterRecord(path, table.MeterRecords[k], slotOffset(k)))
            return false;
    return true;
}

bool saveCurvesBackColor(const QString& path, std::int32_t color) { return saveField(path, CurvesBackColorOffset, color); }

bool loadCurvesBackColor(const QString& path, std::int32_t& color) { return loadField(path, CurvesBackColorOffset, color); }

bool saveCurvesRange(const QString& path, float low, float high)
{
    const float range[2] = {low, high};
    return saveField(path, CurvesRangeOffset, range);
}

bool loadCurvesRange(const QString& path, float& low, float& high)
{
    float range[2];
    if (!loadField(path, CurvesRangeOffset, range))
        return false;
    low = range[0];
    high = range[1];
    return true;
}

bool savePortBaudTable(const QString& path, const std::int32_t (&table)[MaxComPorts])
{
    return saveField(path, PortBaudTableOffset, table);
}

bool loadPortBaudTable(const QString& path, std::int32_t (&table)[MaxComPorts])
{
    std::int32_t read[MaxComPorts];
    if (!loadField(path, PortBaudTableOffset, read))
        return false;
    for (int i = 0; i < MaxComPorts; ++i)
        table[i] = clamped<std::int32_t>(read[i], 0, MaxBaudIndex);
    return true;
}

bool savePassword(const QString& path, const QString& password)
{
    return saveField(path, PasswordOffset, passwordField(password));
}

bool loadPassword(const QString& path, QString& password)
{
    PasswordField field;
    if (!loadField(path, PasswordOffset, field))
        return false;
    password = fromGbkField(field.bytes);
    return true;
}

bool writeMeterRecord(const QString& path, const MeterRecord& record, std::int32_t offset)
{
    return saveField(path, offset, record.config());
}

bool readMeterRecord(const QString& path, MeterRecord& record, std::int32_t offset)
{
    if (!loadField(path, offset, record.config()))
        return false;
    clampSlot(record.config());
    return true;
}

} // namespace ConfigFile
