// The export writer on its own, without a window: the file it writes,
// compared byte for byte with the text built here from the records.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "ExportText.h"
#include "history/core/HistoryExport.h"
#include "support/FileBytes.h"
#include "support/FullDisk.h"
#include "support/WorkDir.h"

namespace {

struct Shown {
    std::uint8_t bytes[MaxShownChannels];
    explicit Shown(const std::vector<int>& hidden = {})
    {
        std::fill(std::begin(bytes), std::end(bytes), std::uint8_t(1));
        for (int j : hidden)
            bytes[j] = 0;
    }
};

struct Exported {
    ExportResult result;
    int lines = 0;
};

Exported exportFile(const std::string& history, const std::string& out, TDateTime fileStart, const ExportRange& range,
                    const Shown& shown)
{
    HistoryFileReader file;
    EXPECT_EQ(file.open(history), HistoryFileReader::Opened::Yes);
    EXPECT_TRUE(seekFirstExportRecord(file, fileStart, range.start));
    Exported exported{};
    exported.result = writeHistoryExport(file, out, range, shown.bytes, [&] { ++exported.lines; });
    return exported;
}

struct ExportCase {
    const char* name;
    HistoryFileSpec spec;
    double startSeconds, endSeconds;
    int skip;
    std::vector<int> hidden;
    std::vector<ExportLine> lines;
};

// Which records a range takes and how their lines are stamped: from the
// chosen start in whole steps of skip + 1 intervals, the first record being
// the first at or after the start.
TEST(HistoryExport, WritesTheRangesRecordsStampedFromItsStart)
{
    const HistoryFileSpec far = beyond32BitsSpec();
    const std::int64_t last = far.records - 1;
    const std::vector<ExportCase> cases = {
        {"the whole file", {.records = 3}, 0, 180, 0, {}, {{0, 0}, {1, 60}, {2, 120}}},
        {"start = end on a record", {.records = 10}, 240, 240, 0, {}, {{4, 240}}},
        {"skip 2 over 10 records", {.records = 10}, 0, 600, 2, {}, {{0, 0}, {3, 180}, {6, 360}, {9, 540}}},
        {"no channel shown", {.records = 2}, 0, 120, 0, {0, 1, 2, 3}, {{0, 0}, {1, 60}}},
        {"channel 2 hidden", {.records = 2}, 0, 120, 0, {2}, {{0, 0}, {1, 60}}},
        {"half an interval after record 4",
         {.records = 10},
         270,
         600,
         0,
         {},
         {{5, 270}, {6, 330}, {7, 390}, {8, 450}, {9, 510}}},
        {"end between records", {.records = 10}, 0, 150, 0, {}, {{0, 0}, {1, 60}, {2, 120}}},
        {"a file ending inside the range",
         {.records = 5, .trailingBytes = 5},
         0,
         600,
         0,
         {},
         {{0, 0}, {1, 60}, {2, 120}, {3, 180}, {4, 240}}},
        {"the first 128 of 130 channels", {.channels = 130, .records = 2}, 0, 120, 0, {}, {{0, 0}, {1, 60}}},
        {"one-second records over a day",
         {.interval = 1, .channels = 1, .records = 86400},
         86399,
         86400,
         0,
         {},
         {{86399, 86399}}},
        {"the last records of a file past 2^31 records",
         far,
         double(last - 2),
         double(last),
         0,
         {},
         {{last - 2, double(last - 2)}, {last - 1, double(last - 1)}, {last, double(last)}}},
    };
    for (const ExportCase& c : cases) {
        SCOPED_TRACE(c.name);
        WorkDir dir;
        writeHistoryFile(dir.file("h.nx"), c.spec);
        const Shown shown(c.hidden);
        const Exported exported =
            exportFile(dir.file("h.nx"), dir.file("out.xls"), c.spec.start,
                       {secondsAfter(c.spec, c.startSeconds), secondsAfter(c.spec, c.endSeconds), c.skip}, shown);
        EXPECT_EQ(exported.result, ExportResult::Done);
        EXPECT_EQ(exported.lines, int(c.lines.size()));
        EXPECT_EQ(readFileBytes(dir.file("out.xls")), expectedExport(c.spec, c.lines, shown.bytes));
    }
}

float formatCaseValue(std::int64_t, int j)
{
    const float values[] = {12.5f, 0.0f, -0.001234f, 123456.7f, std::numeric_limits<float>::quiet_NaN()};
    return values[j];
}

// The heading takes the header's GBK names as they are; values are written
// as FloatToStrF's general format of 5 digits writes them.
TEST(HistoryExport, WritesGbkNamesAndGeneralFormatValues)
{
    WorkDir dir;
    const HistoryFileSpec spec{.channels = 5, .records = 1, .value = formatCaseValue};
    writeHistoryFile(dir.file("h.nx"), spec);
    exportFile(dir.file("h.nx"), dir.file("out.xls"), spec.start, {spec.start, spec.start, 0}, Shown());
    std::string expected = "\xCA\xB1\xBC\xE4\t";  // "时间"
    for (char j : std::string("01234"))
        expected += std::string("\xB9\xF8\xC2\xAF\xCE\xC2\xB6\xC8") + j + '\t';  // "锅炉温度<j>"
    expected += "\r\n18-10-18 09:05:00\t12.5\t0\t-0.001234\t1.2346E005\tNAN\t\r\n";
    EXPECT_EQ(readFileBytes(dir.file("out.xls")), expected);
}

TEST(HistoryExport, ReplacesAnExistingFile)
{
    WorkDir dir;
    const HistoryFileSpec spec{.records = 2};
    writeHistoryFile(dir.file("h.nx"), spec);
    writeFileBytes(dir.file("out.xls"), std::string(10000, 'x'));
    exportFile(dir.file("h.nx"), dir.file("out.xls"), spec.start, {spec.start, secondsAfter(spec, 120), 0}, Shown());
    EXPECT_EQ(readFileBytes(dir.file("out.xls")), expectedExport(spec, {{0, 0}, {1, 60}}, Shown().bytes));
}

TEST(HistoryExport, TellsWhenTheFileCannotBeCreatedOrWrittenWhole)
{
    WorkDir dir;
    const HistoryFileSpec spec{.records = 100};
    writeHistoryFile(dir.file("h.nx"), spec);
    const ExportRange range{spec.start, secondsAfter(spec, 6000), 0};

    const Exported refused = exportFile(dir.file("h.nx"), dir.file("no/out.xls"), spec.start, range, Shown());
    EXPECT_EQ(refused.result, ExportResult::CannotCreate);
    EXPECT_EQ(refused.lines, 0);
    EXPECT_FALSE(std::filesystem::exists(dir.file("no/out.xls")));

    FullDisk disk(1000);
    EXPECT_EQ(exportFile(dir.file("h.nx"), dir.file("out.xls"), spec.start, range, Shown()).result,
              ExportResult::WriteFailed);
}

// Emptying the file being read would lose the station's records: an export
// named after the history file itself, by any of its names, is refused.
TEST(HistoryExport, NeverWritesOverTheHistoryFileItReads)
{
    WorkDir dir;
    const HistoryFileSpec spec{.records = 10};
    writeHistoryFile(dir.file("h.nx"), spec);
    std::filesystem::create_symlink(dir.file("h.nx"), dir.file("link.xls"));
    const std::string before = readFileBytes(dir.file("h.nx"));
    for (const std::string& target : {dir.file("h.nx"), dir.file("link.xls")}) {
        const Exported exported =
            exportFile(dir.file("h.nx"), target, spec.start, {spec.start, secondsAfter(spec, 600), 0}, Shown());
        EXPECT_EQ(exported.result, ExportResult::CannotCreate) << target;
        EXPECT_TRUE(readFileBytes(dir.file("h.nx")) == before) << target;
    }
}

} // namespace
