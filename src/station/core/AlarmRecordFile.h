#pragma once
#include <array>
#include <cstddef>
#include <string>
#include <vector>

// The alarm-record file of a recording period: the alarm grid mirrored row
// for row, row r being the 150 bytes at r * 150, the heading row first.

#pragma pack(push, 1)

struct AlarmRecordRow {
    char DeviceName[40];   // each text is followed by TAB inside its field,
    char ChannelName[40];  // the end time by LF, then zero bytes
    char AlarmType[10];
    char StartTime[30];
    char EndTime[30];
};

#pragma pack(pop)

static_assert(sizeof(AlarmRecordRow) == 150);
static_assert(offsetof(AlarmRecordRow, DeviceName) == 0);
static_assert(offsetof(AlarmRecordRow, ChannelName) == 40);
static_assert(offsetof(AlarmRecordRow, AlarmType) == 80);
static_assert(offsetof(AlarmRecordRow, StartTime) == 90);
static_assert(offsetof(AlarmRecordRow, EndTime) == 120);

constexpr int AlarmRecordColumns = 5;

// The five cells of one grid row, as GBK bytes.
using AlarmRecordCells = std::array<std::string, AlarmRecordColumns>;

// Each text is cut to its field less one byte, so its separator stays inside.
AlarmRecordRow makeAlarmRecordRow(const AlarmRecordCells& cells);

// The file of one period. It appears under its name only with every row
// so far whole, the heading row first (see createWithHead). A row counts as
// written only once it is on the file; rows the file could not take (not
// created, not writable, a full disk) are kept and written again, in order,
// so the file never has a gap and always ends up equal to the grid. A file
// that already has the name when the period begins is replaced as the first
// row is written.
class AlarmRecordFile {
public:
    AlarmRecordFile() = default;
    // A last try for the rows the file still lacks, as the station ends.
    ~AlarmRecordFile() { writeMissedRows(); }
    AlarmRecordFile(const AlarmRecordFile&) = delete;
    AlarmRecordFile& operator=(const AlarmRecordFile&) = delete;

    // After a last try for the rows the last period's file still lacks,
    // begins the file at path, which appears with the first row written.
    void create(const std::string& path);
    // Sets row r (r <= number of rows so far) and writes what the file lacks.
    void writeRow(int r, const AlarmRecordCells& cells);
    // Writes the rows the file still lacks; called every tick, so they arrive
    // as soon as the disk takes writes again, not only with the next row.
    void writeMissedRows();

    bool upToDate() const { return unwritten_.empty(); }

private:
    void markUnwritten(int r);
    void makeWithEveryRow();

    std::string path_;
    bool made_ = false;  // this period's file is under its name
    std::vector<AlarmRecordRow> rows_;
    std::vector<int> unwritten_;  // ascending
};
