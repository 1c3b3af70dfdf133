#include "station/core/AlarmRecordFile.h"

#include <sys/stat.h>

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
    made_ = false;
    firstRowAt_ = 0;
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

// Never made, or gone: the file appears with every row, in its folder made
// when missing. True when it did.
bool AlarmRecordFile::makeWithEveryRow()
{
    ensureFolderOf(path_);
    if (createWithHead(path_, rows_.data(), rows_.size() * sizeof(AlarmRecordRow)) != NewFile::Created)
        return false;
    made_ = true;
    firstRowAt_ = 0;
    unwritten_.clear();
    return true;
}

// Another period's file has the name: its whole rows stay, and every row of
// this period goes after them.
std::FILE* AlarmRecordFile::followEarlierFile()
{
    std::FILE* file = openBlockFile(path_, "r+b");
    struct stat info;
    if (!file || ::fstat(fileno(file), &info) != 0) {
        if (file)
            std::fclose(file);
        return nullptr;
    }
    made_ = true;
    firstRowAt_ = info.st_size / off_t(sizeof(AlarmRecordRow)) * off_t(sizeof(AlarmRecordRow));
    unwritten_.resize(rows_.size());
    std::iota(unwritten_.begin(), unwritten_.end(), 0);
    return file;
}

void AlarmRecordFile::writeMissedRows()
{
    if (unwritten_.empty())
        return;
    std::FILE* file = made_ ? openBlockFile(path_, "r+b") : nullptr;
    if (!file) {
        // Failing a file of its own, the name may hold another period's,
        // which this period's rows then follow.
        if (makeWithEveryRow() || made_)
            return;
        file = followEarlierFile();
        if (!file)
            return;
    }
    std::size_t written = 0;
    for (int r : unwritten_) {
        const off_t at = firstRowAt_ + off_t(r) * off_t(sizeof(AlarmRecordRow));
        if (!writeBlock(file, at, &rows_[r], sizeof(AlarmRecordRow)))
            break;
        ++written;
    }
    if (std::fclose(file) != 0)
        written = 0;
    unwritten_.erase(unwritten_.begin(), unwritten_.begin() + std::ptrdiff_t(written));
}
