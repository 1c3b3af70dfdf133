#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "history/core/LoadColumns.h"

namespace {

constexpr int Channels = 128;

// The chart numbers a series' points with an int: a load of more records is
// refused before anything is taken, however much memory the machine has.
TEST(LoadColumns, RefusesMoreRecordsThanTheChartNumbers)
{
    EXPECT_THROW(LoadColumns(1, MaxLoadRecords + 1), std::bad_alloc);
}

// Mapping the columns afresh costs a page fault per page on first touch: a
// load takes the block of the one before when it fills at least half of it,
// and a small load never keeps a large block.
TEST(LoadColumns, TakesTheBlockOfThePreviousLoadWhenItSuits)
{
    struct Case {
        const char* name;
        std::int64_t before, after;
        bool taken;
    };
    const Case cases[] = {
        {"the same size", 100000, 100000, true},
        {"a little smaller", 100000, 60000, true},
        {"less than half", 100000, 20000, false},
        {"larger", 20000, 100000, false},
    };
    for (const Case& c : cases) {
        auto before = std::make_shared<LoadColumns>(Channels, c.before);
        const float* block = before->column(0);
        LoadColumns after(Channels, c.after, LoadColumns::reclaim(std::move(before)));
        if (c.taken)
            EXPECT_EQ(after.column(0), block) << c.name;
        else
            EXPECT_EQ(after.bytesHeld(), LoadColumns::bytesFor(Channels, std::uint64_t(c.after))) << c.name;
    }
}

TEST(LoadColumns, KeepsTheBlockWhileTheChartStillHoldsTheColumns)
{
    auto before = std::make_shared<LoadColumns>(Channels, 100000);
    const std::shared_ptr<const float> shown(before, before->column(0));
    EXPECT_EQ(LoadColumns::reclaim(before), nullptr);
    EXPECT_EQ(shown.get(), before->column(0));
}

} // namespace
