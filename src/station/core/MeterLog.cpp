#include "station/core/MeterLog.h"

#include <cstdio>
#include <cstring>
#include <sys/types.h>
#include <unistd.h>

#include "platform/Conversions.h"
#include "platform/Gbk.h"
#include "station/core/RecordFolders.h"

namespace {

std::string heading(const MeterRecord& meter)
{
    std::string text = toGbk("时间\t").toStdString();
    for (int i = 0; i < meter.channelCount(); ++i) {
        text.append(fieldBytes(meter.Channels[i].ChannelName));
        text += '\t';
    }
    return text + '\n';
}

std::string line(const MeterRecord& meter, TDateTime t)
{
    std::string text = "  " + FormatDateTime("HH:NN:SS", t).toStdString() + "\t";
    const bool online = meter.Online == 1;
    for (int i = 0; i < meter.channelCount(); ++i)
        text += (online ? FloatToStrF(meter.ChannelValues[i], 5, 3).toStdString() : std::string("ERR")) + "\t";
    return text + '\n';
}

}  // namespace

bool takeMeterLogTick(std::int32_t& ticks, std::int32_t interval)
{
    ++ticks;
    if (ticks < interval)
        return false;
    ticks = 0;
    return true;
}

std::string meterLogFileNamePart(const QString& meterName)
{
    QString part = meterName;
    part.replace("..", "__");
    for (QChar& c : part)
        if (c == '/' || c == '\\' || c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = '_';
    return part.toStdString();
}

std::string makeMeterLogPath(const std::string& baseDir, TDateTime t, const MeterConfig& meter, int slot)
{
    ensureFolder(baseDir);
    const std::string month = monthFolderPath(baseDir, t);
    ensureFolder(month);
    const std::string halfDay = month + "/" + FormatDateTime("DD'日'AM/PM", t).toStdString();
    ensureFolder(halfDay);
    return halfDay + "/" + meterLogFileNamePart(fromGbkField(meter.MeterName)) + "_" + std::to_string(slot)
         + ".xls";
}

bool appendMeterLogLine(const std::string& path, const MeterRecord& meter, TDateTime t)
{
    FILE* file = std::fopen(path.c_str(), "r+b");
    // "x": a file that exists but would not open is left as it is, not emptied.
    if (!file && !(file = std::fopen(path.c_str(), "w+bx")))
        return false;
    if (fseeko(file, 0, SEEK_END) != 0) {
        std::fclose(file);
        return false;
    }
    const off_t end = ftello(file);
    const std::string text = (end == 0 ? heading(meter) : std::string()) + line(meter, t);
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    if (std::fclose(file) == 0 && written)
        return true;
    // Take back what got through; should that fail too, the next line tries again.
    [[maybe_unused]] const int ignored = end >= 0 ? truncate(path.c_str(), end) : 0;
    return false;
}
