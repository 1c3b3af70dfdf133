#include "station/core/AlarmRecordFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>

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
    made_ = false;
    rows_.clear();
    unwritten_.clear();
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

// Not made yet, or gone: the file appears with every row, in its folder made
// when missing, in place of any file of its name.
void AlarmRecordFile::makeWithEveryRow()
{
    ensureFolderOf(path_);
    if (!createWithHead(path_, rows_.data(), rows_.size() * sizeof(AlarmRecordRow)))
        return;
    made_ = true;
    unwritten_.clear();
}

void AlarmRecordFile::writeMissedRows()
{
    if (unwritten_.empty())
        return;
    std::FILE* file = made_ ? openBlockFile(path_, "r+b") : nullptr;
    if (!file) {
        makeWithEveryRow();
        return;
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
