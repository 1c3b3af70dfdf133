#include "comm/ComPort.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <iterator>

#include "platform/SerialPort.h"

namespace {

// Every port the station opens starts with these; a transaction on a slow
// line stretches the read's constant (see TransactionTimeouts).
constexpr SerialTimeouts StationTimeouts{
    .ReadIntervalTimeout = 100,
    .ReadTotalTimeoutMultiplier = 3,
    .ReadTotalTimeoutConstant = 80,
    .WriteTotalTimeoutMultiplier = 20,
    .WriteTotalTimeoutConstant = 80,
};

// A start bit, 8 data bits and 2 stop bits.
constexpr unsigned BitsPerByte = 11;

std::string baseDir()
{
    char buffer[PATH_MAX];
    return ::getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string(".");
}

bool pathPresent(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

}  // namespace

std::string ComPortPath(int portIndex)
{
    const std::string link = baseDir() + "/Res/COM" + std::to_string(portIndex + 1);
    return pathPresent(link) ? link : "/dev/ttyS" + std::to_string(portIndex);
}

bool OpenComPort(PortHandle& slot, int portIndex, int baudIndex)
{
    CloseComPort(slot);
    if (baudIndex < 0 || baudIndex >= int(std::size(BaudRateTable))) {
        slot = PortHandle::invalid();
        return false;
    }
    slot = SerialOpen(ComPortPath(portIndex));
    if (!slot.isOpen())
        return false;
    if (!SerialSetLine(slot, BaudRateTable[baudIndex])) {
        CloseComPort(slot);
        return false;
    }
    SerialSetTimeouts(slot, StationTimeouts);
    return true;
}

SerialTimeouts TransactionTimeouts(unsigned baud, int requestLength, int replyLength)
{
    SerialTimeouts t = StationTimeouts;
    if (baud == 0)
        return t;
    const std::uint64_t wireBits = std::uint64_t(BitsPerByte) * unsigned(requestLength + replyLength);
    const unsigned wireMs = unsigned((wireBits * 1000 + baud - 1) / baud);
    const unsigned stationMs = t.ReadTotalTimeoutConstant + t.ReadTotalTimeoutMultiplier * unsigned(replyLength);
    const unsigned neededMs = wireMs + StationTimeouts.ReadTotalTimeoutConstant;
    if (neededMs > stationMs)
        t.ReadTotalTimeoutConstant += neededMs - stationMs;
    return t;
}

void CloseComPort(PortHandle& slot)
{
    if (!slot.isOpen())
        return;
    SerialClose(slot);
    slot = PortHandle::invalid();
}
