#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <future>
#include <string>

#include "comm/ComPort.h"
#include "comm/ModbusCrc.h"
#include "comm/ModbusRequests.h"
#include "support/Devsim.h"
#include "support/PtyPair.h"
#include "support/WorkDir.h"

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(char(v));
    return s;
}

std::string withCrc(std::string frame)
{
    const auto length = std::uint16_t(frame.size());
    frame.resize(length + 2u);
    AppendModbusCrc(reinterpret_cast<std::uint8_t*>(frame.data()), length);
    return frame;
}

}  // namespace

// Each request as it goes on the line, answered by hand so that the
// transaction ends after one attempt and hands the reply back.
TEST(RequestFrames, ByteForByteOnTheLine)
{
    struct Case {
        const char* what;
        std::function<bool(PortHandle, std::uint8_t*)> send;
        std::string request;
        std::string reply;
    };
    const Case cases[] = {
        {"function 4, input registers",
         [](PortHandle p, std::uint8_t* r) { return ReadInputRegistersSerial(p, 0x11, r, 0x006B, 3); },
         bytes({0x11, 0x04, 0x00, 0x6B, 0x00, 0x03, 0xC3, 0x47}),
         bytes({0x11, 0x04, 0x06, 0, 1, 0, 2, 0, 3})},
        {"function 3, holding registers, 48 of them",
         [](PortHandle p, std::uint8_t* r) { return ReadHoldingRegistersSerial(p, 0x01, r, 0x0000, 48); },
         bytes({0x01, 0x03, 0x00, 0x00, 0x00, 0x30, 0x45, 0xDE}),
         bytes({0x01, 0x03, 96}) + std::string(96, '\x07')},
        {"function 6, a negative value",
         [](PortHandle p, std::uint8_t* r) { return WriteSingleRegisterSerial(p, 0x07, r, 31, -2); },
         bytes({0x07, 0x06, 0x00, 0x1F, 0xFF, 0xFE, 0x78, 0x1A}),
         bytes({0x07, 0x06, 0x00, 0x1F, 0xFF, 0xFE})},
    };
    WorkDir dir;
    PtyPair pty(comLink(1));
    PortHandle port;
    ASSERT_TRUE(OpenComPort(port, 0, 2));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint8_t reply[120] = {};
        auto done = std::async(std::launch::async, [&] { return c.send(port, reply); });
        EXPECT_EQ(pty.readMaster(8, 3000), c.request);
        const std::string answer = withCrc(c.reply);
        pty.writeMaster(answer);
        EXPECT_TRUE(done.get());
        EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), answer.size()), answer);
    }
    CloseComPort(port);
}
