#include "support/Devsim.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sstream>
#include <stdexcept>

#include "platform/SerialPort.h"

namespace {

// Slave 247 reading input register 0, its CRC included; the simulator logs
// it as MarkerLine and, with no slave of that address, answers nothing.
constexpr unsigned char MarkerRequest[8] = {247, 4, 0, 0, 0, 1, 0x25, 0x5C};
const std::string MarkerLine = "request 247 4 0 1";

std::size_t countStarting(const std::vector<ChildProcess::Line>& lines, const std::string& prefix)
{
    std::size_t count = 0;
    for (const auto& line : lines)
        count += line.text.rfind(prefix, 0) == 0;
    return count;
}

std::vector<std::string> devsimArgs(std::vector<std::string> first, const std::vector<std::string>& extra)
{
    first.insert(first.begin(), DEVSIM_PATH);
    first.insert(first.end(), extra.begin(), extra.end());
    return first;
}

// The module's text with its escapes undone.
std::string unescaped(const std::string& line)
{
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            text += line[i];
            continue;
        }
        switch (line[++i]) {
        case 'r': text += '\r'; break;
        case 'n': text += '\n'; break;
        case 't': text += '\t'; break;
        case 'x':
            text += char(std::stoi(line.substr(i + 1, 2), nullptr, 16));
            i += 2;
            break;
        default: text += line[i];
        }
    }
    return text;
}

}  // namespace

Devsim::Devsim(const std::vector<std::string>& argv) : process_(argv)
{
    const std::string ready = process_.waitForLineStarting("ready ");
    if (ready.empty())
        throw std::runtime_error("devsim did not start");
    port_ = std::atoi(ready.c_str() + 6);
}

std::unique_ptr<Devsim> Devsim::onPty(const std::string& link, const std::vector<std::string>& extraArgs)
{
    return std::unique_ptr<Devsim>(new Devsim(devsimArgs({"--pty", link}, extraArgs)));
}

std::unique_ptr<Devsim> Devsim::onTcp(const std::vector<std::string>& extraArgs)
{
    return std::unique_ptr<Devsim>(new Devsim(devsimArgs({"--tcp", "0"}, extraArgs)));
}

std::unique_ptr<Devsim> Devsim::gsmOnPty(const std::string& link, const std::vector<std::string>& extraArgs)
{
    return std::unique_ptr<Devsim>(new Devsim(devsimArgs({"--gsm", "--pty", link}, extraArgs)));
}

void Devsim::setFault(const std::string& mode)
{
    process_.writeLine("fault " + mode);
    if (process_.waitForLineStarting("fault " + mode).empty())
        throw std::runtime_error("devsim did not take fault " + mode);
}

std::vector<DevsimRequest> Devsim::requests() const
{
    std::vector<DevsimRequest> result;
    for (const auto& line : process_.lines()) {
        if (line.text.rfind("request ", 0) != 0)
            continue;
        std::istringstream words(line.text.substr(8));
        DevsimRequest r{};
        words >> r.address >> r.function >> r.reg >> r.value;
        r.at = line.at;
        result.push_back(r);
    }
    return result;
}

int Devsim::connections() const
{
    int count = 0;
    for (const auto& line : process_.lines())
        count += line.text == "connect";
    return count;
}

bool Devsim::waitForRequests(std::size_t count, std::chrono::milliseconds timeout) const
{
    return waitForLines("request ", count, timeout);
}

std::vector<GsmMessage> Devsim::messages() const
{
    const std::string prefix = "message ";
    constexpr std::size_t ArrivalLength = 23;  // "YYYY-MM-DD HH:MM:SS.mmm"
    std::vector<GsmMessage> result;
    for (const auto& line : process_.lines())
        if (line.text.rfind(prefix, 0) == 0)
            result.push_back({line.text.substr(prefix.size(), ArrivalLength),
                              unescaped(line.text.substr(prefix.size() + ArrivalLength + 1))});
    return result;
}

bool Devsim::waitForMessages(std::size_t count, std::chrono::milliseconds timeout) const
{
    return waitForLines("message ", count, timeout);
}

bool Devsim::markLine(PortHandle port) const
{
    const std::size_t before = countStarting(process_.lines(), MarkerLine);
    return SerialWrite(port, MarkerRequest, sizeof MarkerRequest) == int(sizeof MarkerRequest)
        && waitForLines(MarkerLine, before + 1, std::chrono::seconds(10));
}

bool Devsim::markTcp() const
{
    const std::size_t before = countStarting(process_.lines(), MarkerLine);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port_));
    const bool sent = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::write(fd, MarkerRequest, sizeof MarkerRequest) == ssize_t(sizeof MarkerRequest);
    const bool logged = sent && waitForLines(MarkerLine, before + 1, std::chrono::seconds(10));
    ::close(fd);
    return logged;
}

bool Devsim::waitForLines(const std::string& prefix, std::size_t count, std::chrono::milliseconds timeout) const
{
    return process_.waitFor(
        [&](const std::vector<ChildProcess::Line>& lines) { return countStarting(lines, prefix) >= count; }, timeout);
}

std::string comLink(int comNumber)
{
    ::mkdir("Res", 0755);
    char cwd[4096];
    return std::string(::getcwd(cwd, sizeof cwd)) + "/Res/COM" + std::to_string(comNumber);
}

int freeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}
