#pragma once
// The export file as it must be, built from the records it takes.
#include <string>
#include <vector>

#include "history/core/HistoryFileReader.h"
#include "platform/Conversions.h"
#include "support/HistoryFiles.h"

struct ExportLine {
    std::int64_t record;
    double stampSeconds;  // after the file's start
};

inline TDateTime secondsAfter(const HistoryFileSpec& spec, double seconds)
{
    return spec.start + seconds / SecondsPerDay;
}

// "时间" and the names of the shown channels, then per line its stamp and
// the record's shown values; each field followed by a TAB, CR LF, in GBK.
inline std::string expectedExport(const HistoryFileSpec& spec, const std::vector<ExportLine>& lines,
                                  const std::uint8_t* shown)
{
    const int channels = std::min(spec.channels, MaxShownChannels);
    std::string text = "\xCA\xB1\xBC\xE4\t";  // "时间"
    for (int j = 0; j < channels; ++j)
        if (shown[j])
            text += toGbk(channelName(j)).toStdString() + '\t';
    text += "\r\n";
    for (const ExportLine& line : lines) {
        text += FormatDateTime(QStringLiteral("YY-MM-DD HH:NN:SS"), secondsAfter(spec, line.stampSeconds)).toStdString();
        text += '\t';
        for (int j = 0; j < channels; ++j)
            if (shown[j])
                text += FloatToStrF(spec.value(line.record, j), 5, 3).toStdString() + '\t';
        text += "\r\n";
    }
    return text;
}
