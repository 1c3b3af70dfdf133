#include "comm/ModbusCrc.h"

namespace {

// The two byte tables of the Modbus serial line, derived from the reflected
// polynomial 0xA001: the byte that goes on into the low running byte, and the
// one that becomes the high running byte.
struct CrcTables {
    std::uint8_t hi[256];
    std::uint8_t lo[256];
};

constexpr CrcTables makeTables()
{
    CrcTables t{};
    for (int i = 0; i < 256; ++i) {
        std::uint16_t crc = std::uint16_t(i);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? std::uint16_t((crc >> 1) ^ 0xA001) : std::uint16_t(crc >> 1);
        t.hi[i] = std::uint8_t(crc & 0xFF);
        t.lo[i] = std::uint8_t(crc >> 8);
    }
    return t;
}

constexpr CrcTables tables = makeTables();

static_assert(tables.hi[1] == 0xC1 && tables.lo[1] == 0xC0);
static_assert(tables.hi[255] == 0x40 && tables.lo[255] == 0x40);

}  // namespace

std::array<std::uint8_t, 2> ModbusCrc16(const std::uint8_t* bytes, std::uint16_t length)
{
    std::uint8_t crcHi = 0xFF;
    std::uint8_t crcLo = 0xFF;
    while (length--) {
        const std::uint8_t index = crcLo ^ *bytes++;
        crcLo = crcHi ^ tables.hi[index];
        crcHi = tables.lo[index];
    }
    return {crcLo, crcHi};
}

void AppendModbusCrc(std::uint8_t* frame, std::uint16_t length)
{
    const auto crc = ModbusCrc16(frame, length);
    frame[length] = crc[0];
    frame[length + 1] = crc[1];
}

bool ModbusCrcMatches(const std::uint8_t* frame, std::uint16_t length)
{
    if (length < 2)
        return false;
    const auto crc = ModbusCrc16(frame, std::uint16_t(length - 2));
    return frame[length - 2] == crc[0] && frame[length - 1] == crc[1];
}
