// The simulated instrument's changes over time: swinging values and a line
// that falls silent now and then, asked directly over TCP.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <set>
#include <thread>
#include <vector>

#include "comm/ModbusCrc.h"
#include "support/Devsim.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// Registers 0..count-1 of slave 1 read with function 3 over a new
// connection; nothing when no whole reply comes within 300 ms.
std::optional<std::vector<std::int16_t>> readRegisters(int port, std::uint8_t count)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(std::uint16_t(port));
    std::uint8_t request[8] = {1, 3, 0, 0, 0, count};
    AppendModbusCrc(request, 6);
    std::vector<std::uint8_t> reply;
    const std::size_t expected = 5 + 2 * count;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
        && ::send(fd, request, sizeof request, MSG_NOSIGNAL) == sizeof request) {
        const auto deadline = Clock::now() + 300ms;
        pollfd p{fd, POLLIN, 0};
        while (reply.size() < expected && Clock::now() < deadline && ::poll(&p, 1, 50) >= 0) {
            std::uint8_t bytes[64];
            const ssize_t n = p.revents ? ::recv(fd, bytes, sizeof bytes, 0) : 0;
            if (n < 0 || (p.revents && n == 0))
                break;
            reply.insert(reply.end(), bytes, bytes + n);
        }
    }
    ::close(fd);
    if (reply.size() != expected || !ModbusCrcMatches(reply.data(), std::uint16_t(expected)))
        return std::nullopt;
    std::vector<std::int16_t> values;
    for (std::size_t i = 0; i < count; ++i)
        values.push_back(std::int16_t(reply[3 + 2 * i] << 8 | reply[4 + 2 * i]));
    return values;
}

}  // namespace

TEST(DevsimChanges, SwingingValuesStayWithinTheirPercentage)
{
    auto sim = Devsim::onTcp({"--values", "1000,-1000", "--swing", "20,2"});
    std::set<std::int16_t> seen;
    const auto deadline = Clock::now() + 10s;
    while (seen.size() < 3 && Clock::now() < deadline) {
        const auto values = readRegisters(sim->port(), 32);
        ASSERT_TRUE(values);
        EXPECT_EQ((*values)[31], 131) << "the set value holds still";
        EXPECT_GE((*values)[0], 800);
        EXPECT_LE((*values)[0], 1200);
        EXPECT_LE((*values)[1], -800) << "a negative value swings around itself";
        EXPECT_GE((*values)[1], -1200);
        seen.insert((*values)[0]);
        std::this_thread::sleep_for(100ms);
    }
    EXPECT_GE(seen.size(), 3u) << "the values change";
}

TEST(DevsimChanges, SilentCycleAnswersThenFallsSilentThenAnswersAgain)
{
    auto sim = Devsim::onTcp({"--silent-cycle", "1,1"});
    // Each change of answered/silent, starting from the first answer.
    std::vector<bool> phases;
    const auto deadline = Clock::now() + 10s;
    while (phases.size() < 3 && Clock::now() < deadline) {
        const bool answered = readRegisters(sim->port(), 1).has_value();
        if (phases.empty() ? answered : phases.back() != answered)
            phases.push_back(answered);
        std::this_thread::sleep_for(50ms);
    }
    EXPECT_EQ(phases, (std::vector<bool>{true, false, true}));
}
