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

// What each open port carries beside its descriptor, as the driver keeps it
// on Windows: its time-outs, and what it takes to open the line again.
struct PortState {
    std::string path;
    SerialTimeouts timeouts;
    unsigned baud = 0;  // as last set, 0 before
    bool lost = false;  // hung up or failed; no line behind the handle
};

class PortStates {
public:
    void set(int fd, const PortState& state)
    {
        std::lock_guard lock(mutex_);
        table_[fd] = state;
    }
    PortState get(int fd)
    {
        std::lock_guard lock(mutex_);
        auto it = table_.find(fd);
        return it == table_.end() ? PortState{} : it->second;
    }
    template <typename Change>
    void change(int fd, Change change)
    {
        std::lock_guard lock(mutex_);
        if (auto it = table_.find(fd); it != table_.end())
            change(it->second);
    }
    void erase(int fd)
    {
        std::lock_guard lock(mutex_);
        table_.erase(fd);
    }

private:
    std::mutex mutex_;
    std::map<int, PortState> table_;
};

PortStates& states()
{
    static PortStates table;
    return table;
}

void markLost(int fd)
{
    states().change(fd, [](PortState& s) { s.lost = true; });
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

enum class Wait { Ready, TimedOut, LineGone };

// Waits for the descriptor to become ready, until the deadline if there is
// one. A line that hung up or failed says so, whatever was asked.
Wait waitReady(int fd, short events, std::optional<Clock::time_point> deadline)
{
    for (;;) {
        int timeoutMs = -1;
        if (deadline) {
            auto left = std::chrono::ceil<Millis>(*deadline - Clock::now()).count();
            if (left <= 0)
                return Wait::TimedOut;
            timeoutMs = int(std::min<long long>(left, 1 << 30));
        }
        pollfd p{fd, events, 0};
        int n = ::poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || (p.revents & (POLLHUP | POLLERR | POLLNVAL)))
            return Wait::LineGone;
        return n == 0 ? Wait::TimedOut : Wait::Ready;
    }
}

bool wouldBlock(ssize_t n)
{
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR);
}

// The device at path, opened for reading and writing and held against every
// other open; -1 when it does not open or is held.
int openExclusive(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // TIOCEXCL alone lets root through; the lock holds against everyone.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    ::ioctl(fd, TIOCEXCL);
    return fd;
}

// Lets go of the device behind fd: its exclusive flag, its lock, and the
// device itself, so that an adapter plugged in again gets its old name. The
// number stays taken by a stand-in until the line is back, so that no other
// open receives it while the handle still names it.
void releaseLine(int fd)
{
    ::ioctl(fd, TIOCNXCL);
    ::flock(fd, LOCK_UN);
    const int standIn = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (standIn >= 0) {
        ::dup3(standIn, fd, O_CLOEXEC);
        ::close(standIn);
    }
}

}  // namespace

PortHandle SerialOpen(const std::string& path)
{
    const int fd = openExclusive(path);
    if (fd < 0)
        return PortHandle::invalid();
    PortState state;
    state.path = path;
    states().set(fd, state);
    return PortHandle::open(fd);
}

bool SerialLineLost(PortHandle port)
{
    return port.isOpen() && states().get(port.fd()).lost;
}

bool SerialReopen(PortHandle port)
{
    if (!port.isOpen())
        return false;
    const PortState state = states().get(port.fd());
    releaseLine(port.fd());
    markLost(port.fd());
    const int fd = openExclusive(state.path);
    if (fd < 0)
        return false;
    // The new line takes the handle's number; the lock goes with it.
    const bool moved = ::dup3(fd, port.fd(), O_CLOEXEC) >= 0;
    ::close(fd);
    if (!moved)
        return false;
    states().change(port.fd(), [](PortState& s) { s.lost = false; });
    if (state.baud != 0 && !SerialSetLine(port, state.baud)) {
        releaseLine(port.fd());
        markLost(port.fd());
        return false;
    }
    return true;
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
    if (speed == B0 && !SetCustomBaud(port.fd(), baud))
        return false;
    states().change(port.fd(), [baud](PortState& s) { s.baud = baud; });
    return true;
}

void SerialSetTimeouts(PortHandle port, const SerialTimeouts& t)
{
    if (port.isOpen())
        states().change(port.fd(), [&t](PortState& s) { s.timeouts = t; });
}

SerialTimeouts SerialGetTimeouts(PortHandle port)
{
    return port.isOpen() ? states().get(port.fd()).timeouts : SerialTimeouts{};
}

unsigned SerialBaud(PortHandle port)
{
    return port.isOpen() ? states().get(port.fd()).baud : 0;
}

void SerialPurgeReceive(PortHandle port)
{
    if (port.isOpen() && !SerialLineLost(port))
        ::tcflush(port.fd(), TCIFLUSH);
}

int SerialWrite(PortHandle port, const void* bytes, int length)
{
    if (!port.isOpen() || length <= 0)
        return 0;
    const PortState state = states().get(port.fd());
    if (state.lost)
        return 0;
    const SerialTimeouts& t = state.timeouts;
    const auto deadline = totalDeadline(t.WriteTotalTimeoutConstant, t.WriteTotalTimeoutMultiplier, length);
    const auto* data = static_cast<const unsigned char*>(bytes);
    int written = 0;
    while (written < length) {
        ssize_t n = ::write(port.fd(), data + written, std::size_t(length - written));
        if (n > 0) {
            written += int(n);
            continue;
        }
        const Wait wait = wouldBlock(n) ? waitReady(port.fd(), POLLOUT, deadline) : Wait::LineGone;
        if (wait == Wait::LineGone)
            markLost(port.fd());
        if (wait != Wait::Ready)
            break;
    }
    return written;
}

int SerialRead(PortHandle port, void* bytes, int length)
{
    if (!port.isOpen() || length <= 0)
        return 0;
    const PortState state = states().get(port.fd());
    if (state.lost)
        return 0;
    const SerialTimeouts& t = state.timeouts;
    const auto total = totalDeadline(t.ReadTotalTimeoutConstant, t.ReadTotalTimeoutMultiplier, length);
    auto* data = static_cast<unsigned char*>(bytes);
    int got = 0;
    while (got < length) {
        ssize_t n = ::read(port.fd(), data + got, std::size_t(length - got));
        if (n > 0) {
            got += int(n);
            continue;
        }
        // With VMIN and VTIME 0 a tty read returns 0 when nothing is there,
        // and also once the line hung up, which only poll() tells apart.
        auto deadline = total;
        if (got > 0 && t.ReadIntervalTimeout != 0) {
            auto interval = Clock::now() + Millis(t.ReadIntervalTimeout);
            deadline = deadline ? std::min(*deadline, interval) : interval;
        }
        const Wait wait = n == 0 || wouldBlock(n) ? waitReady(port.fd(), POLLIN, deadline) : Wait::LineGone;
        if (wait == Wait::LineGone)
            markLost(port.fd());
        if (wait != Wait::Ready)
            break;
    }
    return got;
}

void SerialClose(PortHandle port)
{
    if (!port.isOpen())
        return;
    states().erase(port.fd());
    // The exclusive flag belongs to the line, not to this descriptor.
    ::ioctl(port.fd(), TIOCNXCL);
    ::close(port.fd());
}
