#include "history/core/HistoryExport.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "history/core/HistoryLoads.h"
#include "platform/Conversions.h"
#include "platform/Gbk.h"

namespace {

// Lines go out one by one; a large buffer keeps that from costing a system
// call each.
constexpr std::size_t StreamBufferSize = 1 << 20;
constexpr int StampLength = 17;  // "YY-MM-DD HH:NN:SS"

char* twoDigits(char* out, int value)
{
    *out++ = char('0' + value / 10 % 10);
    *out++ = char('0' + value % 10);
    return out;
}

// FormatDateTime("YY-MM-DD HH:NN:SS", t), straight into bytes.
char* writeStamp(char* out, TDateTime t)
{
    const DateTimeParts p = DecodeDateTime(t);
    out = twoDigits(out, p.year % 100);
    *out++ = '-';
    out = twoDigits(out, p.month);
    *out++ = '-';
    out = twoDigits(out, p.day);
    *out++ = ' ';
    out = twoDigits(out, p.hour);
    *out++ = ':';
    out = twoDigits(out, p.minute);
    *out++ = ':';
    return twoDigits(out, p.second);
}

char* endLine(char* out)
{
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

std::string headingLine(const HistoryFileHeader& header, int channels, const std::uint8_t* shown)
{
    std::string line = toGbk(QStringLiteral("时间")).toStdString() + '\t';
    for (int i = 0; i < channels; ++i)
        if (shown[i])
            line.append(fieldBytes(header.ChannelNames[i])).append(1, '\t');
    return line.append("\r\n");
}

// Opens the export file emptied, or null. Only a regular file other than the
// history file is emptied: that would lose what the export reads, and
// something else is no file to export into. O_NONBLOCK keeps a FIFO with no
// reader from holding the open; it changes nothing for a regular file.
std::FILE* createExportFile(const HistoryFileReader& file, const std::string& path)
{
    const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0)
        return nullptr;
    struct stat opened {};
    std::FILE* out = nullptr;
    if (fstat(descriptor, &opened) == 0 && S_ISREG(opened.st_mode) && !file.isFile(descriptor)
        && ftruncate(descriptor, 0) == 0)
        out = fdopen(descriptor, "wb");
    if (!out)
        close(descriptor);
    return out;
}

} // namespace

bool seekFirstExportRecord(HistoryFileReader& file, TDateTime fileStart, TDateTime start)
{
    return file.seekRecord(intervalsUpward(fileStart, start, file.header().RecordInterval));
}

ExportResult writeHistoryExport(HistoryFileReader& file, const std::string& path, const ExportRange& range,
                                const std::uint8_t (&shown)[MaxShownChannels], const std::function<void()>& onLine)
{
    std::FILE* out = createExportFile(file, path);
    if (!out)
        return ExportResult::CannotCreate;
    std::setvbuf(out, nullptr, _IOFBF, StreamBufferSize);
    const auto write = [out](const char* bytes, std::size_t size) { return std::fwrite(bytes, size, 1, out) == 1; };

    const int channels = file.shownChannelCount();
    const std::string heading = headingLine(file.header(), channels, shown);
    bool written = write(heading.data(), heading.size());

    std::vector<char> line(StampLength + 1 + std::size_t(channels) * (FloatToStrFMaxLength + 1) + 2);
    float values[MaxShownChannels];
    const std::int64_t skipped = std::int64_t(range.skip) * std::int64_t(historyRecordSize(file.channelCount()));
    // Each stamp is the one before plus the step, summed in extended precision.
    const long double step =
        static_cast<long double>(std::int64_t(range.skip) + 1) * file.header().RecordInterval / SecondsPerDay;
    for (TDateTime t = range.start; written && !laterByAMillisecond(t, range.end); t = double(t + step)) {
        if (!file.readRecord(values))
            break;
        char* p = writeStamp(line.data(), t);
        *p++ = '\t';
        for (int i = 0; i < channels; ++i)
            if (shown[i]) {
                p += writeFloatToStrF(p, values[i], 5, 3);
                *p++ = '\t';
            }
        p = endLine(p);
        written = write(line.data(), std::size_t(p - line.data()));
        if (written)
            onLine();
        if (skipped > 0 && !file.seek(file.position() + skipped))
            break;
    }
    if (std::fclose(out) != 0)
        written = false;
    return written ? ExportResult::Done : ExportResult::WriteFailed;
}
