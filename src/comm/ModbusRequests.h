#pragma once
#include <cstdint>

#include "platform/PortHandle.h"

class ClientSocket;

// The three requests the station sends, each framed and carried by its
// transport. reply must hold the expected reply: 5 + 2 * count bytes for the
// reads, 8 for the write (the echo).

enum ModbusFunction : std::uint8_t {
    ReadHoldingRegisters = 3,
    ReadInputRegisters = 4,
    WriteSingleRegister = 6,
};

// Reply length of a read of count registers, in 8 bits as on the wire.
constexpr std::uint8_t ReadReplyLength(std::uint16_t count)
{
    return std::uint8_t(5 + 2 * count);
}

// Writes address, function, register and value (high bytes first) into the
// first 6 bytes of frame.
void FrameRequest(std::uint8_t* frame, std::uint8_t address, std::uint8_t function,
                  std::uint16_t reg, std::uint16_t value);

bool ReadInputRegistersSerial(PortHandle port, std::uint8_t address, std::uint8_t* reply,
                              std::uint16_t firstReg, std::uint16_t count);
bool ReadHoldingRegistersSerial(PortHandle port, std::uint8_t address, std::uint8_t* reply,
                                std::uint16_t firstReg, std::uint16_t count);
bool WriteSingleRegisterSerial(PortHandle port, std::uint8_t address, std::uint8_t* reply,
                               std::uint16_t reg, std::int16_t value);

bool ReadInputRegistersTcp(ClientSocket& socket, std::uint8_t address, std::uint8_t* reply,
                           std::uint16_t firstReg, std::uint16_t count);
bool ReadHoldingRegistersTcp(ClientSocket& socket, std::uint8_t address, std::uint8_t* reply,
                             std::uint16_t firstReg, std::uint16_t count);

// The poll's read by register type (CommStyle): 0 = "3X" (function 4),
// 1 = "4X" (function 3).
using SerialReadBuilder = bool (*)(PortHandle, std::uint8_t, std::uint8_t*, std::uint16_t, std::uint16_t);
using TcpReadBuilder = bool (*)(ClientSocket&, std::uint8_t, std::uint8_t*, std::uint16_t, std::uint16_t);

inline constexpr SerialReadBuilder SerialReadBuilders[2] = {ReadInputRegistersSerial, ReadHoldingRegistersSerial};
inline constexpr TcpReadBuilder TcpReadBuilders[2] = {ReadInputRegistersTcp, ReadHoldingRegistersTcp};
