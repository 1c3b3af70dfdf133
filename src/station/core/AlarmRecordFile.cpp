#include "station/core/AlarmRecordFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <numeric>

#include "station/core/BlockFile.h"
#include "station/core/RecordFolders.h"

namespace {

void putField(char* field, std::size_t size, const std::string& text, char separator)
{
    const std::size_t length = std::min(text.size(), size - 1);
    std::memcpy(field, text.data(), length);
    field[length] = separator;
}

}  // namespace

AlarmRecordRow makeAlarmRecordRow(const AlarmRecordCells& cells)
{
    AlarmRecordRow row{};
    putField(row.DeviceName, sizeof row.DeviceName, cells[0], '\t');
    putField(row.ChannelName, sizeof row.ChannelName, cells[1], '\t');
    putField(row.AlarmType, sizeof row.AlarmType, cells[2], '\t');
    putField(row.StartTime, sizeof row.StartTime, cells[3], '\t');
    putField(row.EndTime, sizeof row.EndTime, cells[4], '\n');
    return row;
}

void AlarmRecordFile::create(const std::string& path)
{
    writeMissedRows();
    path_ = path;
    rows_.clear();
    unwritten_.clear();
    if (std::FILE* file = std::fopen(path_.c_str(), "w+b"))
        std::fclose(file);
}

void AlarmRecordFile::writeRow(int r, const AlarmRecordCells& cells)
{
    if (r < 0)
        return;
    if (static_cast<std::size_t>(r) >= rows_.size())
        rows_.resize(r + 1, makeAlarmRecordRow({}));
    rows_[r] = makeAlarmRecordRow(cells);
    markUnwritten(r);
    writeMissedRows();
}

void AlarmRecordFile::markUnwritten(int r)
{
    auto at = std::lower_bound(unwritten_.begin(), unwritten_.end(), r);
    if (at == unwritten_.end() || *at != r)
        unwritten_.insert(at, r);
}

void AlarmRecordFile::writeMissedRows()
{
    if (unwritten_.empty())
        return;
    std::FILE* file = openBlockFile(path_, "r+b");
    if (!file) {
        // Never made, or gone: start it again, in its folder made when
        // missing, and give it every row. "x" keeps an existing file that
        // merely refused to open from being emptied.
        ensureFolderOf(path_);
        file = openBlockFile(path_, "w+bx");
        if (!file)
            return;
        unwritten_.resize(rows_.size());
        std::iota(unwritten_.begin(), unwritten_.end(), 0);
    }
    std::size_t written = 0;
    for (int r : unwritten_) {
        if (!writeBlock(file, off_t(r) * off_t(sizeof(AlarmRecordRow)), &rows_[r], sizeof(AlarmRecordRow)))
            break;
        ++written;
    }
    if (std::fclose(file) != 0)
        written = 0;
    unwritten_.erase(unwritten_.begin(), unwritten_.begin() + std::ptrdiff_t(written));
}
