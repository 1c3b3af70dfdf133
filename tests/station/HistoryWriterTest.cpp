#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <vector>

#include "station/core/HistoryWriter.h"
#include "support/DeviceSlots.h"
#include "support/Eventually.h"
#include "support/FileBytes.h"
#include "support/FullDisk.h"

namespace {

const char Boiler1[] = "\xb9\xf8\xc2\xaf" "1";       // 锅炉1 in GBK
const char Temperature[] = "\xce\xc2\xb6\xc8";       // 温度
const char Pressure[] = "\xd1\xb9\xc1\xa6";          // 压力

struct Devices {
    MeterRecord meters[MaxMeters];
    std::int32_t count = 0;

    MeterRecord& add(const QString& name, const QStringList& channels)
    {
        return appendDevice(meters, count, namedDevice(name, channels));
    }
};

std::string header(double start, std::int32_t interval, std::vector<std::string> names)
{
    std::string bytes(HistoryHeaderSize, '\0');
    put(bytes, 0, start);
    put(bytes, 8, interval);
    put(bytes, 12, static_cast<std::int32_t>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i)
        bytes.replace(20 + i * 80, names[i].size(), names[i]);
    return bytes;
}

std::string floats(std::vector<float> values)
{
    return std::string(reinterpret_cast<const char*>(values.data()), values.size() * sizeof(float));
}

// The write calls this thread has made so far.
long writeCalls()
{
    std::ifstream io("/proc/thread-self/io");
    std::string key;
    long value = 0;
    while (io >> key >> value)
        if (key == "syscw:")
            return value;
    return -1;
}

std::string headerOf(const std::string& path)
{
    return readFileBytes(path).substr(0, HistoryHeaderSize);
}

// The whole records after the header.
std::vector<float> recordsOf(const std::string& path, int count)
{
    const std::string bytes = readFileBytes(path);
    std::vector<float> values(historyRecordCount(bytes.size(), count) * std::size_t(count));
    std::memcpy(values.data(), bytes.data() + HistoryHeaderSize, values.size() * sizeof(float));
    return values;
}

// Every file of a folder with its size; one that goes while it is listed
// is left out.
std::map<std::string, std::uintmax_t> entriesOf(const std::string& folder)
{
    std::map<std::string, std::uintmax_t> entries;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::error_code gone;
        const std::uintmax_t size = std::filesystem::file_size(entry.path(), gone);
        if (!gone)
            entries[entry.path().filename().string()] = size;
    }
    return entries;
}

// A process that makes one history file after another in a folder until it
// is killed, at the latest as the object ends.
class FileMaker {
public:
    FileMaker(const std::string& folder, const std::string& prefix, const HistoryFileHeader& header)
        : pid_(::fork())
    {
        if (pid_ != 0)
            return;
        for (int n = 0;; ++n)
            writeHistoryHeader(folder + "/" + prefix + std::to_string(n) + ".nx", header);
    }
    ~FileMaker() { kill(); }
    FileMaker(const FileMaker&) = delete;
    FileMaker& operator=(const FileMaker&) = delete;

    void kill()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
    }

private:
    pid_t pid_;
};

std::vector<float> counting(int from, int to)
{
    std::vector<float> values(std::size_t(to - from + 1));
    std::iota(values.begin(), values.end(), float(from));
    return values;
}

class HistoryFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string path = dir.filePath("18日09时05分03秒.nx").toStdString();
    Devices devices;
};

TEST(RecordPeriodPaths, MonthFolderAndDayAndTimeName)
{
    const RecordPeriodPaths morning = recordPeriodPaths("/base", EncodeDateTime(2018, 10, 18, 9, 5, 3));
    EXPECT_EQ(morning.monthFolder, "/base/18年10月");
    EXPECT_EQ(morning.historyPath, "/base/18年10月/18日09时05分03秒.nx");
    EXPECT_EQ(morning.alarmPath, "/base/18年10月/18日09时05分03秒.xls");
    EXPECT_EQ(recordPeriodPaths("/base", EncodeDateTime(2009, 1, 2, 21, 7, 59)).historyPath,
              "/base/09年01月/02日21时07分59秒.nx");
}

TEST_F(HistoryFileTest, HeaderNamesEveryChannelInGlobalOrderThenZeros)
{
    devices.add("锅炉1", {"温度", "压力"}).PreRecordTime = 5;
    devices.add("D2", {"CH1"}).PreRecordTime = 60;  // only slot 0's interval counts, passed in by the caller

    auto h = makeHistoryHeader(43391.378506944, 5, devices.meters, devices.count);
    ASSERT_TRUE(writeHistoryHeader(path, *h));

    const std::string expected = header(43391.378506944, 5,
        {std::string(Boiler1) + Temperature, std::string(Boiler1) + Pressure, "D2CH1"});
    EXPECT_EQ(readFileBytes(path), expected);
}

TEST_F(HistoryFileTest, OverlongNamesAreCutToLeaveTheirNul)
{
    MeterRecord& m = devices.add("", {""});
    std::memset(m.MeterName, 'M', sizeof m.MeterName);                      // no NUL at all
    std::memset(m.Channels[0].ChannelName, 'C', sizeof m.Channels[0].ChannelName);

    auto h = makeHistoryHeader(0, 1, devices.meters, devices.count);
    const std::string entry(h->ChannelNames[0], HistoryNameSize);
    EXPECT_EQ(entry, std::string(40, 'M') + std::string(39, 'C') + '\0');
}

TEST_F(HistoryFileTest, NoDevicesLeavesTheFileAtItsHeader)
{
    HistoryRecorder recorder;
    recorder.start(dir.path().toStdString(), path, makeHistoryHeader(100.0, 1, devices.meters, 0));
    for (int tick = 1; tick <= 3; ++tick)
        recorder.recordIfDue(100.0 + tick / SecondsPerDay, nullptr, 0);

    EXPECT_EQ(readFileBytes(path), header(100.0, 1, {}));
}

TEST_F(HistoryFileTest, RecordIsWrittenOverAPartialOneAndNeverIntoAFileWithoutHeader)
{
    devices.add("D1", {"A", "B"});
    ASSERT_TRUE(writeHistoryHeader(path, *makeHistoryHeader(0, 1, devices.meters, devices.count)));
    const std::string withHeader = readFileBytes(path);

    // A full disk cut the second record short.
    writeFileBytes(path, withHeader + floats({1, 2}) + "\x11\x22\x33");
    const float row[] = {3, 4};
    ASSERT_EQ(appendHistoryRecords(path, row, 2, 1), 1u);
    EXPECT_EQ(readFileBytes(path), withHeader + floats({1, 2, 3, 4}));

    const std::string missing = dir.filePath("gone.nx").toStdString();
    EXPECT_EQ(appendHistoryRecords(missing, row, 2, 1), 0u);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(HistoryFileTest, RecordsWaitUntilTheFolderCanBeMade)
{
    devices.add("D1", {"A"});
    const std::filesystem::path folder = dir.filePath("18年10月").toStdString();
    const std::string inFolder = (folder / "18日09时05分03秒.nx").string();
    const double start = 1000.0;
    writeFileBytes(folder.string(), "");  // the month folder cannot be made, as on a full disk

    HistoryRecorder recorder;
    recorder.start(dir.path().toStdString(), inFolder, makeHistoryHeader(start, 1, devices.meters, devices.count));
    const float first[] = {1};
    recorder.recordIfDue(start + 1 / SecondsPerDay, first, 1);
    EXPECT_FALSE(recorder.upToDate());
    EXPECT_EQ(recorder.NextHistoryTime, start + 1 / SecondsPerDay) << "record 0 is taken, if not yet written";

    std::filesystem::remove(folder);  // now it can: the recorder makes it
    const float second[] = {2};
    recorder.recordIfDue(start + 2 / SecondsPerDay, second, 1);
    EXPECT_TRUE(recorder.upToDate());
    EXPECT_EQ(readFileBytes(inFolder), header(start, 1, {"D1A"}) + floats({1, 2}));
}

TEST_F(HistoryFileTest, HeaderAndEachRecordGoOutInOneWrite)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers' runtime makes write calls of its own";
#endif
    // A kill between two writes would leave a header the readers refuse.
    for (int k = 0; k < MaxMeters; ++k)
        devices.add("D", QStringList(MaxChannels, QStringLiteral("C")));
    const std::vector<float> row(MaxMeters * MaxChannels, 1.5f);

    const long before = writeCalls();
    ASSERT_TRUE(writeHistoryHeader(path, *makeHistoryHeader(0, 1, devices.meters, devices.count)));
    const long afterHeader = writeCalls();
    ASSERT_EQ(appendHistoryRecords(path, row.data(), int(row.size()), 1), 1u);
    const long afterRecord = writeCalls();

    ASSERT_GE(before, 0) << "no write count for this thread";
    EXPECT_EQ(afterHeader - before, 1);
    EXPECT_EQ(afterRecord - afterHeader, 1);
    EXPECT_EQ(std::filesystem::file_size(path), HistoryHeaderSize + row.size() * sizeof(float));
}

// Readers refuse a file whose header is cut, so a file must never be seen
// under its name before its header is whole.
TEST_F(HistoryFileTest, HeaderCutShortByAFullDiskNeverShowsUnderItsName)
{
    devices.add("D1", {"A"});
    const double start = 43391.0;
    for (const off_t room : {off_t(0), off_t(262144), off_t(HistoryHeaderSize - 1)}) {
        SCOPED_TRACE(room);
        std::filesystem::remove(path);
        HistoryRecorder recorder;
        FullDisk disk(room);
        recorder.start(dir.path().toStdString(), path, makeHistoryHeader(start, 1, devices.meters, devices.count));
        const float row[] = {1};
        recorder.recordIfDue(start + 1.5 / SecondsPerDay, row, 1);
        EXPECT_TRUE(entriesOf(dir.path().toStdString()).empty()) << "neither the file nor its unfinished header";

        disk.free();
        recorder.recordIfDue(start + 2.5 / SecondsPerDay, row, 1);
        EXPECT_EQ(readFileBytes(path), header(start, 1, {"D1A"}) + floats({1, 1}));
        EXPECT_EQ(entriesOf(dir.path().toStdString()).size(), 1u);
    }
}

// A kill lands wherever the writer happens to be; most of its time goes on
// writing headers.
TEST_F(HistoryFileTest, KillWhileFilesAreCreatedLeavesNoCutHeader)
{
    devices.add("D1", {"A"});
    const auto h = makeHistoryHeader(0, 1, devices.meters, devices.count);
    const std::string folder = dir.path().toStdString();
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        const std::size_t before = entriesOf(folder).size();
        FileMaker maker(folder, std::to_string(run) + "-", *h);
        ASSERT_TRUE(eventually([&] { return entriesOf(folder).size() > before + 1; }, std::chrono::seconds(10),
                               std::chrono::milliseconds(1)));
        maker.kill();
        for (const auto& [name, size] : entriesOf(folder)) {
            if (std::filesystem::path(name).extension() == ".nx") {
                EXPECT_EQ(size, HistoryHeaderSize) << name;
            }
        }
    }
    // What a killed try left behind goes with the next file made.
    ASSERT_TRUE(writeHistoryHeader(folder + "/next.nx", *h));
    for (const auto& entry : entriesOf(folder))
        EXPECT_EQ(std::filesystem::path(entry.first).extension(), ".nx") << entry.first;
}

// A period begun in the second of an earlier one, or at a time the clock
// shows again after it was set back, takes the earlier file's name: the name
// then holds the new period's file alone, whatever the earlier one held.
struct EarlierFileCase {
    const char* name;
    std::vector<std::string> channels;  // of the earlier file's header
    std::size_t headerBytes;            // as much of it as the file holds
};

void PrintTo(const EarlierFileCase& c, std::ostream* os) { *os << c.name; }

class EarlierFileTest : public HistoryFileTest, public ::testing::WithParamInterface<EarlierFileCase> {};

TEST_P(EarlierFileTest, FileAlreadyUnderTheNameIsReplaced)
{
    const EarlierFileCase& c = GetParam();
    devices.add("D1", {"A"});
    const double start = 43391.0;
    // More records than the new period writes, so none may outlast it.
    writeFileBytes(path, header(start - 0.5 / SecondsPerDay, 1, c.channels).substr(0, c.headerBytes)
                             + (c.headerBytes == HistoryHeaderSize ? floats({7, 7, 7, 7, 7}) : ""));

    HistoryRecorder recorder;
    recorder.start(dir.path().toStdString(), path, makeHistoryHeader(start, 1, devices.meters, devices.count));
    EXPECT_EQ(readFileBytes(path), header(start, 1, {"D1A"}));
    for (int n = 1; n <= 3; ++n) {
        const float row[] = {float(n)};
        recorder.recordIfDue(start + (n + 0.5) / SecondsPerDay, row, 1);
    }
    EXPECT_EQ(recorder.PeriodHistoryPath, path);
    EXPECT_EQ(readFileBytes(path), header(start, 1, {"D1A"}) + floats({1, 2, 3}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EarlierFileTest,
    ::testing::Values(EarlierFileCase{"SameChannels", {"D1A"}, HistoryHeaderSize},
                      EarlierFileCase{"OtherChannels", {"D1A", "D1B"}, HistoryHeaderSize},
                      EarlierFileCase{"HeaderCutShort", {"D1A"}, 262144}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(HistoryFileTest, RecordsTakenWhileTheDiskIsFullKeepTheirTimes)
{
    devices.add("D1", {"A"});
    const double start = 43391.0;
    HistoryRecorder recorder;
    FullDisk disk;  // full from the start of the period until second 30
    recorder.start(dir.path().toStdString(), path, makeHistoryHeader(start, 1, devices.meters, devices.count));
    // Each tick records its own number: record k must hold k + 1.
    auto tick = [&](int n) {
        const float row[] = {float(n)};
        recorder.recordIfDue(start + (n + 0.5) / SecondsPerDay, row, 1);
    };
    for (int n = 1; n <= 30; ++n)
        tick(n);
    EXPECT_EQ(readFileBytes(path), "");
    disk.free();
    tick(31);
    EXPECT_EQ(headerOf(path), header(start, 1, {"D1A"}));
    EXPECT_EQ(recordsOf(path, 1), counting(1, 31));

    disk.fill(HistoryHeaderSize + 33 * 4 + 2);  // full in the middle of record 33
    for (int n = 32; n <= 40; ++n)
        tick(n);
    EXPECT_EQ(recordsOf(path, 1), counting(1, 33));
    disk.free();
    tick(41);
    EXPECT_EQ(recordsOf(path, 1), counting(1, 41));
    EXPECT_EQ(std::filesystem::file_size(path), HistoryHeaderSize + 41 * 4) << "no partial record";
}

TEST_F(HistoryFileTest, NewPeriodFirstWritesWhatTheLastOneStillLacks)
{
    devices.add("D1", {"A"});
    const double start = 43391.0;
    HistoryRecorder recorder;
    FullDisk disk;
    recorder.start(dir.path().toStdString(), path, makeHistoryHeader(start, 1, devices.meters, devices.count));
    for (int n = 1; n <= 2; ++n) {
        const float row[] = {float(n)};
        recorder.recordIfDue(start + (n + 0.5) / SecondsPerDay, row, 1);
    }
    disk.free();  // as configuration mode is left

    const std::string next = dir.filePath("next.nx").toStdString();
    recorder.start(dir.path().toStdString(), next, makeHistoryHeader(start + 1, 1, devices.meters, devices.count));
    EXPECT_EQ(readFileBytes(path), header(start, 1, {"D1A"}) + floats({1, 2}));
    EXPECT_EQ(readFileBytes(next), header(start + 1, 1, {"D1A"}));
}

TEST_F(HistoryFileTest, StationEndingWritesWhatThePeriodStillLacks)
{
    devices.add("D1", {"A"});
    const double start = 43391.0;
    {
        HistoryRecorder recorder;
        FullDisk disk;
        recorder.start(dir.path().toStdString(), path, makeHistoryHeader(start, 1, devices.meters, devices.count));
        const float row[] = {1};
        recorder.recordIfDue(start + 1.5 / SecondsPerDay, row, 1);
        disk.free();  // during configuration mode, which the operator then closes
    }
    EXPECT_EQ(readFileBytes(path), header(start, 1, {"D1A"}) + floats({1}));
}

TEST_F(HistoryFileTest, RecordsBeyondTheMemoryBoundBeginANewFileOnceTheDiskIsBack)
{
    devices.add("D1", {"A"});
    const std::string base = dir.path().toStdString();
    const double start = EncodeDateTime(2018, 10, 18, 9, 5, 3);
    std::filesystem::create_directory(base + "/18年10月");
    const std::string first = base + "/18年10月/18日09时05分03秒.nx";
    HistoryRecorder recorder;
    recorder.MaxWaitingBytes = 3 * sizeof(float);  // three records wait at most
    auto tick = [&](int n) {
        const float row[] = {float(n)};
        recorder.recordIfDue(start + (n + 0.5) / SecondsPerDay, row, 1);
    };

    FullDisk disk;
    recorder.start(base, first, makeHistoryHeader(start, 1, devices.meters, devices.count));
    for (int n = 1; n <= 5; ++n)
        tick(n);  // the fourth record is one too many
    disk.free();
    for (int n = 6; n <= 8; ++n)
        tick(n);

    EXPECT_FALSE(std::filesystem::exists(first)) << "the given-up file never had its header";
    const std::string second = base + "/18年10月/18日09时05分09秒.nx";
    EXPECT_EQ(recorder.PeriodHistoryPath, second);
    EXPECT_EQ(headerOf(second), header(start + 6.5 / SecondsPerDay, 1, {"D1A"}));
    EXPECT_EQ(recordsOf(second, 1), (std::vector<float>{7, 8}));
    EXPECT_FALSE(std::filesystem::exists(base + "/18年10月/18日09时05分08秒.nx")) << "a refused try leaves no file";
}

// Ticks at the given seconds after the start of the period, off the whole
// seconds as real ticks are; each tick's row holds the tick's own number, so
// the file shows which ticks wrote records.
struct TimingCase {
    const char* name;
    std::int32_t interval;
    std::vector<double> tickSeconds;
    std::vector<float> recordedTicks;
};

class HistoryTimingTest : public ::testing::TestWithParam<TimingCase> {};

TEST_P(HistoryTimingTest, OneDueRecordPerTickAtMost)
{
    const TimingCase& c = GetParam();
    QTemporaryDir dir;
    const std::string path = dir.filePath("h.nx").toStdString();
    Devices devices;
    devices.add("D1", {"A"}).PreRecordTime = c.interval;
    const double start = 43391.0;

    HistoryRecorder recorder;
    auto h = makeHistoryHeader(start, c.interval, devices.meters, devices.count);
    const std::string expectedHeader(reinterpret_cast<const char*>(h.get()), HistoryHeaderSize);
    recorder.start(dir.path().toStdString(), path, std::move(h));
    for (std::size_t tick = 0; tick < c.tickSeconds.size(); ++tick) {
        const float row[] = {static_cast<float>(tick + 1)};
        recorder.recordIfDue(start + c.tickSeconds[tick] / SecondsPerDay, row, 1);
    }

    EXPECT_EQ(readFileBytes(path), expectedHeader + floats(c.recordedTicks));
}

// Ticks half a second after each whole second from..to.
std::vector<double> ticks(int from, int to, std::vector<double> before = {})
{
    for (int t = from; t <= to; ++t)
        before.push_back(t + 0.5);
    return before;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryTimingTest,
    ::testing::Values(
        TimingCase{"EveryTick", 1, ticks(1, 3), {1, 2, 3}},
        TimingCase{"NotAtTheStartItself", 1, {0, 1}, {2}},
        TimingCase{"EveryTenthTick", 10, ticks(1, 25), {1, 10, 20}},
        // The six records due at 10..60 during the stall come one per tick
        // after it, then the one due at 70, then one every ten ticks.
        TimingCase{"StallOfSixtySeconds", 10, ticks(65, 82, ticks(1, 5)),
                   {1, 6, 7, 8, 9, 10, 11, 12, 21}},
        TimingCase{"ClockSetBack", 5, {1.5, 2.5, -100, -50, 4.5, 5.5}, {1, 6}},
        TimingCase{"ClockSetForward", 5, ticks(30, 37, {1.5}), {1, 2, 3, 4, 5, 6, 7, 8}},
        TimingCase{"IntervalZero", 0, ticks(1, 20), {}},
        TimingCase{"NegativeInterval", -5, ticks(1, 20), {}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
