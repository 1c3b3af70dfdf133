#include "comm/ModbusRequests.h"

#include <array>

#include "comm/ModbusCrc.h"
#include "comm/ModbusTransport.h"

namespace {

constexpr std::uint8_t RequestLength = 6;     // without the CRC
constexpr std::uint8_t WriteReplyLength = 8;  // the echo

using RequestFrame = std::array<std::uint8_t, RequestLength + 2>;

RequestFrame framed(std::uint8_t address, std::uint8_t function, std::uint16_t reg, std::uint16_t value)
{
    RequestFrame frame;
    FrameRequest(frame.data(), address, function, reg, value);
    AppendModbusCrc(frame.data(), RequestLength);
    return frame;
}

bool transact(PortHandle port, const RequestFrame& request, std::uint8_t* reply, std::uint8_t expected)
{
    return SerialTransact(port, request.data(), request.size(), reply, expected);
}

bool transact(ClientSocket& socket, const RequestFrame& request, std::uint8_t* reply, std::uint8_t expected)
{
    return TcpTransact(socket, request.data(), request.size(), reply, expected);
}

template <typename Link>
bool readRegisters(Link&& link, ModbusFunction function, std::uint8_t address, std::uint8_t* reply,
                   std::uint16_t firstReg, std::uint16_t count)
{
    return transact(link, framed(address, function, firstReg, count), reply, ReadReplyLength(count));
}

}  // namespace

void FrameRequest(std::uint8_t* frame, std::uint8_t address, std::uint8_t function,
                  std::uint16_t reg, std::uint16_t value)
{
    frame[0] = address;
    frame[1] = function;
    frame[2] = std::uint8_t(reg >> 8);
    frame[3] = std::uint8_t(reg & 0xFF);
    frame[4] = std::uint8_t(value >> 8);
    frame[5] = std::uint8_t(value & 0xFF);
}

bool ReadInputRegistersSerial(PortHandle port, std::uint8_t address, std::uint8_t* reply,
                              std::uint16_t firstReg, std::uint16_t count)
{
    return readRegisters(port, ReadInputRegisters, address, reply, firstReg, count);
}

bool ReadHoldingRegistersSerial(PortHandle port, std::uint8_t address, std::uint8_t* reply,
                                std::uint16_t firstReg, std::uint16_t count)
{
    return readRegisters(port, ReadHoldingRegisters, address, reply, firstReg, count);
}

bool WriteSingleRegisterSerial(PortHandle port, std::uint8_t address, std::uint8_t* reply,
                               std::uint16_t reg, std::int16_t value)
{
    return transact(port, framed(address, WriteSingleRegister, reg, std::uint16_t(value)), reply, WriteReplyLength);
}

bool ReadInputRegistersTcp(ClientSocket& socket, std::uint8_t address, std::uint8_t* reply,
                           std::uint16_t firstReg, std::uint16_t count)
{
    return readRegisters(socket, ReadInputRegisters, address, reply, firstReg, count);
}

bool ReadHoldingRegistersTcp(ClientSocket& socket, std::uint8_t address, std::uint8_t* reply,
                             std::uint16_t firstReg, std::uint16_t count)
{
    return readRegisters(socket, ReadHoldingRegisters, address, reply, firstReg, count);
}
