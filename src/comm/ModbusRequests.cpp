#include "comm/ModbusRequests.h"

#include "comm/ModbusTransport.h"

namespace {

constexpr std::uint8_t RequestLength = 6;     // without the CRC
constexpr std::uint8_t WriteReplyLength = 8;  // the echo

bool transact(PortHandle port, std::uint8_t* request, std::uint8_t* reply, std::uint8_t expected)
{
    return SerialTransact(port, request, RequestLength, reply, expected);
}

bool transact(ClientSocket& socket, std::uint8_t* request, std::uint8_t* reply, std::uint8_t expected)
{
    return TcpTransact(socket, request, RequestLength, reply, expected);
}

template <typename Link>
bool readRegisters(Link&& link, ModbusFunction function, std::uint8_t address, std::uint8_t* reply,
                   std::uint16_t firstReg, std::uint16_t count)
{
    std::uint8_t request[RequestLength + 2];
    FrameRequest(request, address, function, firstReg, count);
    return transact(link, request, reply, ReadReplyLength(count));
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
    std::uint8_t request[RequestLength + 2];
    FrameRequest(request, address, WriteSingleRegister, reg, std::uint16_t(value));
    return transact(port, request, reply, WriteReplyLength);
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
