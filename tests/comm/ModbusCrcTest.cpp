#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "comm/ModbusCrc.h"

TEST(ModbusCrc16, KnownFramesInWireOrder)
{
    struct Case {
        std::vector<std::uint8_t> frame;
        std::uint8_t first, second;
    };
    const Case cases[] = {
        {{'1', '2', '3', '4', '5', '6', '7', '8', '9'}, 0x37, 0x4B},  // the check value 0x4B37
        {{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A}, 0xC5, 0xCD},
        {{0x11, 0x04, 0x00, 0x6B, 0x00, 0x03}, 0xC3, 0x47},
        {{0x01, 0x03, 0x02, 0x04, 0xD2}, 0x3A, 0xD9},
        {{}, 0xFF, 0xFF},
    };
    for (const Case& c : cases) {
        const auto crc = ModbusCrc16(c.frame.data(), std::uint16_t(c.frame.size()));
        EXPECT_EQ(crc[0], c.first) << "frame of " << c.frame.size() << " bytes";
        EXPECT_EQ(crc[1], c.second) << "frame of " << c.frame.size() << " bytes";
    }
}

TEST(ModbusCrc16, MatchesOnlyAnIntactFrame)
{
    std::uint8_t frame[7] = {0x01, 0x03, 0x02, 0x04, 0xD2};
    AppendModbusCrc(frame, 5);
    EXPECT_EQ(frame[5], 0x3A);
    EXPECT_EQ(frame[6], 0xD9);
    EXPECT_TRUE(ModbusCrcMatches(frame, 7));

    for (int byte = 0; byte < 7; ++byte) {
        std::uint8_t damaged[7];
        std::memcpy(damaged, frame, 7);
        damaged[byte] ^= 0x01;
        EXPECT_FALSE(ModbusCrcMatches(damaged, 7)) << "bit flipped in byte " << byte;
    }
    EXPECT_FALSE(ModbusCrcMatches(frame, 1));
}
