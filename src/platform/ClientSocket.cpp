#include "platform/ClientSocket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

timeval toTimeval(int ms)
{
    return timeval{ms / 1000, (ms % 1000) * 1000};
}

std::string socketMessage(const char* what, int code)
{
    return std::string(what) + ": " + std::strerror(code);
}

// How often a waiting connect asks whether it is abandoned.
constexpr int AbandonCheckMs = 50;

// Waits until the connecting socket fd is writable: 1, 0 after the time-out
// or once abandoned, -1 after an error.
int waitConnected(int fd, int timeoutMs, const std::function<bool()>& abandoned)
{
    pollfd p{fd, POLLOUT, 0};
    for (int left = timeoutMs; left > 0; left -= AbandonCheckMs) {
        if (abandoned && abandoned())
            return 0;
        const int ready = ::poll(&p, 1, std::min(left, AbandonCheckMs));
        if (ready != 0 && !(ready < 0 && errno == EINTR))
            return ready;
    }
    return 0;
}

// Connects the non-blocking socket fd; 0, or the error code.
int connectWithin(int fd, const sockaddr_in& peer, int timeoutMs, const std::function<bool()>& abandoned)
{
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0)
        return 0;
    if (errno != EINPROGRESS)
        return errno;
    const int ready = waitConnected(fd, timeoutMs, abandoned);
    if (ready == 0)
        return ETIMEDOUT;
    int error = 0;
    socklen_t size = sizeof error;
    if (ready < 0 || ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0)
        return errno;
    return error;
}

}  // namespace

ClientSocket::~ClientSocket()
{
    close();
}

void ClientSocket::open(const std::function<bool()>& abandoned)
{
    close();
    sockaddr_in peer{};
    peer.sin_family = AF_INET;
    if (::inet_pton(AF_INET, address_.c_str(), &peer.sin_addr) != 1)
        throw SocketError("invalid address: " + address_);
    // A port beyond 16 bits would otherwise wrap to another port.
    if (port_ < 1 || port_ > 65535)
        throw SocketError("invalid port: " + std::to_string(port_));
    peer.sin_port = htons(std::uint16_t(port_));

    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        throw SocketError(socketMessage("socket", errno));
    const int code = connectWithin(fd, peer, ConnectTimeoutMs, abandoned);
    if (code != 0) {
        ::close(fd);
        throw SocketError(socketMessage("connect", code));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    if (onConnect_)
        onConnect_(*this);
}

void ClientSocket::close()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
}

void ClientSocket::setTimeouts(int sendMs, int receiveMs)
{
    if (fd_ < 0)
        return;
    const timeval send = toTimeval(sendMs);
    const timeval receive = toTimeval(receiveMs);
    ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &send, sizeof send);
    ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &receive, sizeof receive);
}

int ClientSocket::sendBuf(const void* bytes, int length)
{
    if (fd_ < 0)
        return 0;
    ssize_t n;
    do {
        n = ::send(fd_, bytes, std::size_t(length), MSG_NOSIGNAL);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? reportError(ErrorEvent::Send, errno) : int(n);
}

int ClientSocket::receiveBuf(void* bytes, int length)
{
    if (fd_ < 0)
        return 0;
    ssize_t n;
    do {
        n = ::recv(fd_, bytes, std::size_t(length), MSG_WAITALL);
    } while (n < 0 && errno == EINTR);
    return n < 0 ? reportError(ErrorEvent::Receive, errno) : int(n);
}

int ClientSocket::reportError(ErrorEvent event, int errorCode)
{
    if (onError_)
        onError_(*this, event, errorCode);
    close();
    if (errorCode != 0)
        throw SocketError(socketMessage(event == ErrorEvent::Send ? "send" : "receive", errorCode));
    return -1;
}
