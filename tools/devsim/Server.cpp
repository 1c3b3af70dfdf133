#include "Server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "Serving.h"
#include "comm/ModbusCrc.h"

namespace {

constexpr int RequestLength = 8;
// Bytes that stop in the middle of a frame are dropped after this silence.
constexpr auto FrameGap = std::chrono::milliseconds(50);

std::string describe(const Frame& request)
{
    std::ostringstream text;
    text << "request " << int(request[0]) << ' ' << int(request[1]) << ' '
         << (request[2] << 8 | request[3]) << ' ' << (request[4] << 8 | request[5]);
    return text.str();
}

void writeAll(int fd, const Frame& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == ENOTSOCK)
            n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += std::size_t(n);
    }
}

}  // namespace

Server::~Server()
{
    for (auto& [fd, line] : lines_)
        ::close(fd);
    if (listenFd_ >= 0)
        ::close(listenFd_);
    if (ptySlaveFd_ >= 0)
        ::close(ptySlaveFd_);
    if (!ptyLink_.empty())
        ::unlink(ptyLink_.c_str());
}

bool Server::servePty(const std::string& link)
{
    LinkedPty pty;
    if (!openLinkedPty(link, pty))
        return false;
    ptySlaveFd_ = pty.slave;
    ptyLink_ = link;
    lines_[pty.master] = Line{};
    say("ready " + pty.slavePath);
    run();
    return true;
}

bool Server::serveTcp(int port)
{
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    socklen_t size = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 || ::listen(listenFd_, 16) != 0
        || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
        std::perror("devsim: listen");
        return false;
    }
    say("ready " + std::to_string(ntohs(address.sin_port)));
    run();
    return true;
}

void Server::run()
{
    installStopHandlers();
    while (!stopRequested()) {
        std::vector<pollfd> fds;
        if (commandsOpen_)
            fds.push_back({STDIN_FILENO, POLLIN, 0});
        if (listenFd_ >= 0)
            fds.push_back({listenFd_, POLLIN, 0});
        for (const auto& [fd, line] : lines_)
            fds.push_back({fd, POLLIN, 0});
        if (::poll(fds.data(), fds.size(), pollTimeoutMs()) < 0 && errno != EINTR)
            break;
        for (const pollfd& p : fds) {
            if (!p.revents)
                continue;
            if (p.fd == STDIN_FILENO)
                readCommands();
            else if (p.fd == listenFd_)
                acceptConnection();
            else
                readLine(p.fd);
        }
        sendDueReplies();
    }
}

int Server::pollTimeoutMs() const
{
    int timeout = 100;
    for (const Pending& p : pending_) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(p.due - Clock::now()).count();
        timeout = std::min<int>(timeout, int(std::max<long long>(left, 0)));
    }
    return timeout;
}

void Server::acceptConnection()
{
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0)
        return;
    lines_[fd] = Line{};
    say("connect");
}

void Server::readLine(int fd)
{
    std::uint8_t bytes[512];
    const ssize_t n = ::read(fd, bytes, sizeof bytes);
    if (n <= 0) {
        if (n == 0 || (errno != EAGAIN && errno != EINTR && listenFd_ >= 0))
            closeLine(fd);
        return;
    }
    Line& line = lines_[fd];
    const auto now = Clock::now();
    if (now - line.lastByte > FrameGap)
        line.buffer.clear();
    line.lastByte = now;
    line.buffer.insert(line.buffer.end(), bytes, bytes + n);
    takeRequests(fd, line);
}

void Server::closeLine(int fd)
{
    ::close(fd);
    lines_.erase(fd);
    std::erase_if(pending_, [fd](const Pending& p) { return p.fd == fd; });
}

void Server::takeRequests(int fd, Line& line)
{
    Frame& buffer = line.buffer;
    while (buffer.size() >= RequestLength) {
        if (!ModbusCrcMatches(buffer.data(), RequestLength)) {
            buffer.erase(buffer.begin());
            continue;
        }
        const Frame request(buffer.begin(), buffer.begin() + RequestLength);
        buffer.erase(buffer.begin(), buffer.begin() + RequestLength);
        say(describe(request));
        if (auto answer = model_.answer(request)) {
            if (answer->delayMs == 0)
                writeAll(fd, answer->reply);
            else
                pending_.push_back({Clock::now() + std::chrono::milliseconds(answer->delayMs), fd, answer->reply});
        }
    }
}

void Server::sendDueReplies()
{
    const auto now = Clock::now();
    for (const Pending& p : pending_)
        if (p.due <= now)
            writeAll(p.fd, p.reply);
    std::erase_if(pending_, [now](const Pending& p) { return p.due <= now; });
}

void Server::readCommands()
{
    char bytes[256];
    const ssize_t n = ::read(STDIN_FILENO, bytes, sizeof bytes);
    if (n <= 0) {
        commandsOpen_ = false;  // no more commands; go on serving
        return;
    }
    commandBuffer_.append(bytes, std::size_t(n));
    for (std::size_t end; (end = commandBuffer_.find('\n')) != std::string::npos;) {
        runCommand(commandBuffer_.substr(0, end));
        commandBuffer_.erase(0, end + 1);
    }
}

void Server::runCommand(const std::string& command)
{
    std::istringstream words(command);
    std::string verb, argument;
    words >> verb >> argument;
    if (verb == "fault") {
        if (auto fault = parseFault(argument)) {
            model_.setFault(*fault);
            say(std::string("fault ") + faultName(*fault));
            return;
        }
    } else if (verb == "delay") {
        char* end = nullptr;
        const long ms = std::strtol(argument.c_str(), &end, 10);
        if (!argument.empty() && *end == '\0' && ms >= 0) {
            model_.setDelayMs(unsigned(ms));
            say("delay " + argument);
            return;
        }
    }
    std::fprintf(stderr, "devsim: unknown command: %s\n", command.c_str());
}
