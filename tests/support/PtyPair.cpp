#include "support/PtyPair.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

PtyPair::PtyPair()
{
    termios raw{};
    ::cfmakeraw(&raw);
    char name[256];
    if (::openpty(&master_, &slave_, name, &raw, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    slavePath_ = name;
}

PtyPair::PtyPair(const std::string& link) : PtyPair()
{
    if (::symlink(slavePath_.c_str(), link.c_str()) != 0)
        throw std::runtime_error("cannot link " + link + " to " + slavePath_);
}

PtyPair::~PtyPair()
{
    ::close(master_);
    ::close(slave_);
}

std::string PtyPair::readMaster(std::size_t max, int timeoutMs) const
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string bytes;
    while (bytes.size() < max) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd p{master_, POLLIN, 0};
        if (left <= 0 || ::poll(&p, 1, int(left)) <= 0)
            break;
        char chunk[256];
        const ssize_t n = ::read(master_, chunk, std::min(sizeof chunk, max - bytes.size()));
        if (n <= 0)
            break;
        bytes.append(chunk, std::size_t(n));
    }
    return bytes;
}

void PtyPair::writeMaster(const std::string& bytes) const
{
    [[maybe_unused]] ssize_t n = ::write(master_, bytes.data(), bytes.size());
}
