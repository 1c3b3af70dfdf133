#pragma once
#include <cstddef>
#include <string>

// One row of an alarm-record file as a test expects it, laid out here apart
// from the station's writer: 150 bytes, the five texts at offsets 0, 40, 80,
// 90 and 120, each followed by TAB, the last by LF, zero bytes elsewhere.
inline std::string alarmRecordBytes(const std::string (&cells)[5])
{
    static const std::size_t offsets[5] = {0, 40, 80, 90, 120};
    std::string row(150, '\0');
    for (int c = 0; c < 5; ++c) {
        row.replace(offsets[c], cells[c].size(), cells[c]);
        row[offsets[c] + cells[c].size()] = c < 4 ? '\t' : '\n';
    }
    return row;
}
