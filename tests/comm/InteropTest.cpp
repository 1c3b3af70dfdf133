#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "comm/ComPort.h"
#include "comm/CommControl.h"
#include "comm/MeterPoll.h"
#include "comm/ModbusRequests.h"
#include "platform/ClientSocket.h"
#include "support/ChildProcess.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/WorkDir.h"

// Against a Modbus slave written elsewhere (pymodbus, RTU framing), serving
// slave 5 with holding register r = 1000 + r and input register r = 2000 + r.

namespace {

using namespace std::chrono_literals;

const std::string slaveScript = TEST_SOURCE_DIR "/comm/pymodbus_slave.py";

// pymodbus takes its time to come up; each try of a poll takes a while too.
constexpr auto SlaveWait = 15s;
constexpr auto SlavePause = 50ms;

MeterRecord pymodbusDevice(std::uint8_t style)
{
    MeterRecord meter;
    meter.MeterAddr = 5;
    meter.ChannelNum = 3;
    meter.CommStyle = style;
    meter.CommStartReg = 4;
    return meter;
}

void expectRegisters(const MeterRecord& meter, float base)
{
    EXPECT_EQ(meter.ChannelValues[0], base + 4);
    EXPECT_EQ(meter.ChannelValues[2], base + 6);
}

}  // namespace

TEST(Interop, PymodbusOverASerialLine)
{
    WorkDir dir;
    ChildProcess socat({"/usr/bin/socat", "pty,raw,echo=0,link=" + dir.file("station"),
                        "pty,raw,echo=0,link=" + dir.file("slave")});
    struct stat info;
    ASSERT_TRUE(eventually([&] { return ::stat("station", &info) == 0 && ::stat("slave", &info) == 0; }, SlaveWait, SlavePause));
    ASSERT_EQ(::symlink(dir.file("station").c_str(), comLink(1).c_str()), 0);
    ChildProcess slave({"/usr/bin/python3", slaveScript, "serial", dir.file("slave")});
    PortHandle port;
    ASSERT_TRUE(OpenComPort(port, 0, 2));

    // The slave may still be opening its end: poll until it answers.
    MeterRecord holding = pymodbusDevice(1);
    ASSERT_TRUE(eventually([&] { PollMeterSerial(port, holding); return holding.Online == 1; }, SlaveWait, SlavePause));
    expectRegisters(holding, 1000);
    MeterRecord input = pymodbusDevice(0);
    PollMeterSerial(port, input);
    EXPECT_EQ(input.Online, 1);
    expectRegisters(input, 2000);

    std::uint8_t reply[20];
    ASSERT_TRUE(WriteSingleRegisterSerial(port, 5, reply, 31, -7));
    ASSERT_TRUE(ReadHoldingRegistersSerial(port, 5, reply, 31, 1));
    EXPECT_EQ(RegisterAt(reply + 3), -7);
    CloseComPort(port);
}

TEST(Interop, PymodbusOverTcp)
{
    const int port = freeLoopbackPort();
    ChildProcess slave({"/usr/bin/python3", slaveScript, "tcp", std::to_string(port)});
    ClientSocket socket;
    CommControl control(socket, nullptr);
    socket.setAddress("127.0.0.1");
    socket.setPort(port);
    ASSERT_TRUE(eventually([&] {
        try {
            socket.open();
            return true;
        } catch (const SocketError&) {
            return false;
        }
    }, SlaveWait, SlavePause));

    MeterRecord holding = pymodbusDevice(1);
    PollMeterTcp(socket, holding);
    EXPECT_EQ(holding.Online, 1);
    expectRegisters(holding, 1000);
    MeterRecord input = pymodbusDevice(0);
    PollMeterTcp(socket, input);
    EXPECT_EQ(input.Online, 1);
    expectRegisters(input, 2000);
}
