#include <gtest/gtest.h>

#include <cstring>

#include "shared/ChannelOrder.h"
#include "shared/MeterRecord.h"

TEST(MeterRecord, CopyingASlotCopiesStoredAndRunTimeParts)
{
    MeterRecord a;
    a.MeterAddr = 7;
    a.ChannelNum = 2;
    std::strcpy(a.MeterName, "D1");
    a.Reserved[2] = 0x5A;
    a.ChannelValues[1] = 12.5f;
    a.AlarmHHA[1] = 1;
    a.ErrCount = 5;
    a.Online = 1;

    MeterRecord b;
    b = a;
    EXPECT_EQ(std::memcmp(&b.config(), &a.config(), sizeof(MeterConfig)), 0);
    EXPECT_EQ(b.ChannelValues[1], 12.5f);
    EXPECT_EQ(b.AlarmHHA[1], 1);
    EXPECT_EQ(b.ErrCount, 5);
    EXPECT_EQ(b.Online, 1);
}

TEST(MeterRecord, NewSlotIsAllZero)
{
    MeterRecord m;
    const auto* bytes = reinterpret_cast<const unsigned char*>(&m.config());
    for (std::size_t i = 0; i < sizeof(MeterConfig); ++i)
        ASSERT_EQ(bytes[i], 0) << "offset " << i;
    EXPECT_EQ(m.ChannelValues[47], 0.0f);
    EXPECT_EQ(m.Online, 0);
}

TEST(ChannelOrder, DevicesInSlotOrderThenChannels)
{
    MeterRecord meters[3];
    meters[0].ChannelNum = 3;
    meters[1].ChannelNum = 2;
    meters[2].ChannelNum = 48;

    std::vector<std::tuple<int, int, int>> seen;
    int total = forEachChannel(meters, 2, [&](int k, int j, int g) { seen.emplace_back(k, j, g); });

    EXPECT_EQ(total, 5);
    std::vector<std::tuple<int, int, int>> expected{{0, 0, 0}, {0, 1, 1}, {0, 2, 2}, {1, 0, 3}, {1, 1, 4}};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(globalChannelIndex(meters, 2, 47), 52);
    EXPECT_EQ(totalChannels(meters, 3), 53);
}

TEST(ChannelOrder, DamagedChannelCountStaysWithinTheTable)
{
    MeterRecord meters[1];
    meters[0].ChannelNum = 200;
    EXPECT_EQ(totalChannels(meters, 1), MaxChannels);
}
