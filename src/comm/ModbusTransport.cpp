#include "comm/ModbusTransport.h"

#include <algorithm>

#include "comm/ComPort.h"
#include "comm/ModbusCrc.h"
#include "comm/ModbusRequests.h"
#include "platform/ClientSocket.h"
#include "platform/SerialPort.h"
#include "platform/Sleep.h"

namespace {

// Register and value, which the reply to a write repeats.
constexpr int WriteEchoBegin = 2;
constexpr int WriteEchoEnd = 6;

// A late echo of an earlier write to the same device differs from this
// one's only there: taken as this one's, it would report a value written
// that the device never took.
bool echoesWrite(const std::uint8_t* request, const std::uint8_t* reply)
{
    return request[1] != WriteSingleRegister
        || std::equal(request + WriteEchoBegin, request + WriteEchoEnd, reply + WriteEchoBegin);
}

// Every check a reply must pass. Address and function tell a late reply to
// an earlier request (another device's, say) from the answer to this one.
bool goodReply(const std::uint8_t* request, const std::uint8_t* reply, int received, std::uint8_t expectedLength)
{
    return received == expectedLength && ModbusCrcMatches(reply, expectedLength) && reply[0] == request[0]
        && reply[1] == request[1] && echoesWrite(request, reply);
}

}  // namespace

bool SerialTransact(PortHandle port, std::uint8_t* request, std::uint8_t requestLength,
                    std::uint8_t* reply, std::uint8_t expectedLength)
{
    AppendModbusCrc(request, requestLength);
    const int frameLength = requestLength + 2;
    SerialSetTimeouts(port, TransactionTimeouts(SerialBaud(port), frameLength, expectedLength));
    for (int attempt = 0; attempt < TransactAttempts; ++attempt) {
        Sleep(TransactPauseMs);
        if (StopRequested())
            return false;
        SerialPurgeReceive(port);
        if (SerialWrite(port, request, frameLength) != frameLength)
            continue;
        if (goodReply(request, reply, SerialRead(port, reply, expectedLength), expectedLength))
            return true;
    }
    return false;
}

bool TcpTransact(ClientSocket& socket, std::uint8_t* request, std::uint8_t requestLength,
                 std::uint8_t* reply, std::uint8_t expectedLength)
{
    AppendModbusCrc(request, requestLength);
    if (!socket.active())
        return false;
    const int frameLength = requestLength + 2;
    try {
        socket.setTimeouts(TcpTimeoutMs, TcpTimeoutMs);
        if (socket.sendBuf(request, frameLength) != frameLength)
            return false;
        for (int attempt = 0; attempt < TransactAttempts; ++attempt) {
            Sleep(TransactPauseMs);
            if (StopRequested())
                return false;
            if (goodReply(request, reply, socket.receiveBuf(reply, expectedLength), expectedLength))
                return true;
        }
    } catch (const SocketError&) {
        // An error that no handler suppressed: a failed transaction all the same.
    }
    return false;
}
