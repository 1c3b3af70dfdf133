#pragma once
#include <array>
#include <cstdint>

// CRC-16/MODBUS of a frame, in wire order: the CRC's low byte first.
std::array<std::uint8_t, 2> ModbusCrc16(const std::uint8_t* bytes, std::uint16_t length);

// Writes the CRC of the first length bytes into bytes[length] and bytes[length + 1].
void AppendModbusCrc(std::uint8_t* frame, std::uint16_t length);

// A frame of length bytes (CRC included) whose last two bytes are its CRC.
bool ModbusCrcMatches(const std::uint8_t* frame, std::uint16_t length);
