#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "history/core/HistoryFileReader.h"
#include "history/core/HistoryLoads.h"
#include "support/FileBytes.h"
#include "support/HistoryFiles.h"
#include "support/WorkDir.h"

namespace {

using Opened = HistoryFileReader::Opened;

struct HeaderCase {
    const char* name;
    void (*damage)(std::string& bytes);
    Opened expected;
};

// Files that are not history files are refused before any header field is
// used; a file wider than the program shows still opens.
TEST(HistoryFileReader, RefusesWhatIsNoHistoryFile)
{
    const std::vector<HeaderCase> cases = {
        {"whole", [](std::string&) {}, Opened::Yes},
        {"empty", [](std::string& b) { b.clear(); }, Opened::NotHistoryFile},
        {"one byte short of a header", [](std::string& b) { b.resize(HistoryHeaderSize - 1); }, Opened::NotHistoryFile},
        {"no channel", [](std::string& b) { put<std::int32_t>(b, 12, 0); }, Opened::NotHistoryFile},
        {"negative channels", [](std::string& b) { put<std::int32_t>(b, 12, -4); }, Opened::NotHistoryFile},
        {"more channels than a header names", [](std::string& b) { put<std::int32_t>(b, 12, 5761); }, Opened::NotHistoryFile},
        {"no interval", [](std::string& b) { put<std::int32_t>(b, 8, 0); }, Opened::NotHistoryFile},
        {"negative interval", [](std::string& b) { put<std::int32_t>(b, 8, -60); }, Opened::NotHistoryFile},
        {"start not a number", [](std::string& b) { put(b, 0, std::numeric_limits<double>::quiet_NaN()); }, Opened::NotHistoryFile},
        {"start infinite", [](std::string& b) { put(b, 0, std::numeric_limits<double>::infinity()); }, Opened::NotHistoryFile},
    };
    WorkDir dir;
    writeHistoryFile(dir.file("good.nx"), {});
    const std::string good = readFileBytes(dir.file("good.nx"));
    for (const HeaderCase& c : cases) {
        std::string bytes = good;
        c.damage(bytes);
        writeFileBytes(dir.file("case.nx"), bytes);
        HistoryFileReader file;
        EXPECT_EQ(file.open(dir.file("case.nx")), c.expected) << c.name;
    }
    HistoryFileReader missing;
    EXPECT_EQ(missing.open(dir.file("missing.nx")), Opened::CannotOpen);
}

TEST(HistoryFileReader, CountsWholeRecordsAndReadsThemWhole)
{
    WorkDir dir;
    writeHistoryFile(dir.file("wide.nx"), {.channels = 130, .records = 3, .trailingBytes = 130 * 4 - 1});
    HistoryFileReader file;
    ASSERT_EQ(file.open(dir.file("wide.nx")), Opened::Yes);
    EXPECT_EQ(file.channelCount(), 130);
    EXPECT_EQ(file.shownChannelCount(), 128);
    EXPECT_EQ(file.recordCount(), 3u) << "the partial record does not count";
    EXPECT_EQ(file.recordsFrom(std::int64_t(HistoryHeaderSize) + 130 * 4), 2u);
    EXPECT_EQ(file.recordsFrom(1 << 30), 0u) << "nothing from beyond the end";

    float values[MaxShownChannels + 1];
    values[MaxShownChannels] = -1;
    for (int k = 0; k < 3; ++k) {
        ASSERT_TRUE(file.readRecord(values));
        EXPECT_EQ(values[0], recordValue(k, 0)) << "record " << k << " stays in its columns";
        EXPECT_EQ(values[127], recordValue(k, 127));
    }
    EXPECT_EQ(values[MaxShownChannels], -1) << "nothing written past the 128 values";
    EXPECT_FALSE(file.readRecord(values));
    EXPECT_EQ(file.position(), std::int64_t(HistoryHeaderSize) + 3 * 130 * 4);
}

// Random damage to the numbers of the header and random lengths: a file is
// either refused or read to its end within its bounds.
TEST(HistoryFileReader, SurvivesDamagedHeadersAndLengths)
{
    WorkDir dir;
    writeHistoryFile(dir.file("good.nx"), {.channels = 3, .records = 5});
    const std::string good = readFileBytes(dir.file("good.nx"));
    std::mt19937 random(13);
    for (int round = 0; round < 200; ++round) {
        std::string bytes = good;
        for (int flips = 0; flips < 4; ++flips)
            bytes[random() % 20] = char(random());
        bytes.resize(random() % (bytes.size() + 64));
        writeFileBytes(dir.file("case.nx"), bytes);
        HistoryFileReader file;
        if (file.open(dir.file("case.nx")) != Opened::Yes)
            continue;
        LoadColumns columns(file.shownChannelCount(), 1);
        loadRecords(file, columns, file.header().StartTime, {}, [] {});
        EXPECT_EQ(std::uint64_t(columns.count()), file.recordCount()) << "round " << round;
    }
}

} // namespace
