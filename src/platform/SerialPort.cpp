#include "platform/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>

#include "platform/SerialCustomBaud.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// The time-outs each open port carries, as the driver keeps them on Windows.
class TimeoutTable {
public:
    void set(int fd, const SerialTimeouts& t)
    {
        std::lock_guard lock(mutex_);
        table_[fd] = t;
    }
    SerialTimeouts get(int fd)
    {
        std::lock_guard lock(mutex_);
        auto it = table_.find(fd);
        return it == table_.end() ? SerialTimeouts{} : it->second;
    }
    void erase(int fd)
    {
        std::lock_guard lock(mutex_);
        table_.erase(fd);
    }

private:
    std::mutex mutex_;
    std::map<int, SerialTimeouts> table_;
};

TimeoutTable& timeouts()
{
    static TimeoutTable table;
    return table;
}

speed_t standardSpeed(unsigned baud)
{
    switch (baud) {
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
    }
}

// A total time-out of zero means no limit, as on Windows.
std::optional<Clock::time_point> totalDeadline(unsigned constant, unsigned multiplier, int length)
{
    if (constant == 0 && multiplier == 0)
        return std::nullopt;
    return Clock::now() + Millis(constant + std::uint64_t(multiplier) * unsigned(length));
}

// Waits for the descriptor to become ready, until the deadline if there is
// one. False when the deadline passed or the line is gone.
bool waitReady(int fd, short events, std::optional<Clock::time_point> deadline)
{
    for (;;) {
        int timeoutMs = -1;
        if (deadline) {
            auto left = std::chrono::ceil<Millis>(*deadline - Clock::now()).count();
            if (left <= 0)
                return false;
            timeoutMs = int(std::min<long long>(left, 1 << 30));
        }
        pollfd p{fd, events, 0};
        int n = ::poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        return (p.revents & events) != 0;
    }
}

bool wouldBlock(ssize_t n)
{
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

}  // namespace

PortHandle SerialOpen(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return PortHandle::invalid();
    // TIOCEXCL alone lets root through; the lock holds against everyone.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return PortHandle::invalid();
    }
    ::ioctl(fd, TIOCEXCL);
    timeouts().set(fd, SerialTimeouts{});
    return PortHandle::open(fd);
}

bool SerialSetLine(PortHandle port, unsigned baud)
{
    if (!port.isOpen())
        return false;
    termios line{};
    if (::tcgetattr(port.fd(), &line) != 0)
        return false;
    const tcflag_t flowControl = line.c_cflag & CRTSCTS;
    ::cfmakeraw(&line);
    line.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CRTSCTS);
    line.c_cflag |= CS8 | CSTOPB | CREAD | CLOCAL | flowControl;
    line.c_cc[VMIN] = 0;
    line.c_cc[VTIME] = 0;
    const speed_t speed = standardSpeed(baud);
    if (speed != B0)
        ::cfsetspeed(&line, speed);
    if (::tcsetattr(port.fd(), TCSANOW, &line) != 0)
        return false;
    return speed != B0 || SetCustomBaud(port.fd(), baud);
}

void SerialSetTimeouts(PortHandle port, const SerialTimeouts& t)
{
    if (port.isOpen())
        timeouts().set(port.fd(), t);
}

SerialTimeouts SerialGetTimeouts(PortHandle port)
{
    return port.isOpen() ? timeouts().get(port.fd()) : SerialTimeouts{};
}

unsigned SerialBaud(PortHandle port)
{
    return port.isOpen() ? CurrentBaud(port.fd()) : 0;
}

void SerialPurgeReceive(PortHandle port)
{
    if (port.isOpen())
        ::tcflush(port.fd(), TCIFLUSH);
}

int SerialWrite(PortHandle port, const void* bytes, int length)
{
    if (!port.isOpen() || length <= 0)
        return 0;
    const SerialTimeouts t = timeouts().get(port.fd());
    const auto deadline = totalDeadline(t.WriteTotalTimeoutConstant, t.WriteTotalTimeoutMultiplier, length);
    const auto* data = static_cast<const unsigned char*>(bytes);
    int written = 0;
    while (written < length) {
        ssize_t n = ::write(port.fd(), data + written, std::size_t(length - written));
        if (n > 0) {
            written += int(n);
            continue;
        }
        if (!wouldBlock(n) || !waitReady(port.fd(), POLLOUT, deadline))
            break;
    }
    return written;
}

int SerialRead(PortHandle port, void* bytes, int length)
{
    if (!port.isOpen() || length <= 0)
        return 0;
    const SerialTimeouts t = timeouts().get(port.fd());
    const auto total = totalDeadline(t.ReadTotalTimeoutConstant, t.ReadTotalTimeoutMultiplier, length);
    auto* data = static_cast<unsigned char*>(bytes);
    int got = 0;
    while (got < length) {
        ssize_t n = ::read(port.fd(), data + got, std::size_t(length - got));
        if (n > 0) {
            got += int(n);
            continue;
        }
        // With VMIN and VTIME 0 a tty read returns 0 when nothing is there; a
        // line that hung up shows in poll().
        if (n < 0 && !wouldBlock(n))
            break;
        auto deadline = total;
        if (got > 0 && t.ReadIntervalTimeout != 0) {
            auto interval = Clock::now() + Millis(t.ReadIntervalTimeout);
            deadline = deadline ? std::min(*deadline, interval) : interval;
        }
        if (!waitReady(port.fd(), POLLIN, deadline))
            break;
    }
    return got;
}

void SerialClose(PortHandle port)
{
    if (!port.isOpen())
        return;
    timeouts().erase(port.fd());
    // The exclusive flag belongs to the line, not to this descriptor.
    ::ioctl(port.fd(), TIOCNXCL);
    ::close(port.fd());
}
