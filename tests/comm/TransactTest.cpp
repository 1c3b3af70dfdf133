#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>

#include "comm/ComPort.h"
#include "comm/CommControl.h"
#include "comm/MeterPoll.h"
#include "comm/ModbusRequests.h"
#include "platform/ClientSocket.h"
#include "platform/SerialPort.h"
#include "support/Devsim.h"
#include "support/WorkDir.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

struct FaultCase {
    const char* mode;
    int style;     // CommStyle: 0 reads input registers, 1 holding registers
    int channels;
    bool serialGood;
    bool tcpGood;
};

const FaultCase faultCases[] = {
    {"none", 0, 3, true, true},
    {"none", 1, 48, true, true},
    {"other-address", 0, 3, false, false},   // a late reply of another device
    {"other-function", 1, 3, false, false},
    {"silent", 0, 3, false, false},
    {"bad-crc", 1, 3, false, false},
    {"short", 0, 48, false, false},
    {"exception", 1, 3, false, false},
    {"delay", 0, 3, false, false},  // 1000 ms late: after every read window
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.mode << ", register type " << c.style << ", " << c.channels << " channels";
}

std::string caseName(const testing::TestParamInfo<FaultCase>& info)
{
    std::string name = std::string(info.param.mode) + "_style" + std::to_string(info.param.style) + "_"
        + std::to_string(info.param.channels) + "ch";
    for (char& c : name)
        if (c == '-')
            c = '_';
    return name;
}

// A device whose channels all show an old value, one poll away from change.
MeterRecord polledDevice(const FaultCase& c)
{
    MeterRecord meter;
    meter.MeterAddr = 1;
    meter.ChannelNum = std::uint8_t(c.channels);
    meter.CommStyle = std::uint8_t(c.style);
    meter.CommStartReg = 10;
    meter.Channels[1].ChannelPoin = 1;
    for (int i = 0; i < c.channels; ++i)
        meter.ChannelValues[i] = -999.0f;
    meter.Online = 1;
    return meter;
}

std::vector<std::string> devsimArgs(const FaultCase& c)
{
    return {"--fault", c.mode, "--delay", "1000"};
}

void expectOutcome(const MeterRecord& meter, const FaultCase& c, bool good)
{
    if (good) {
        EXPECT_EQ(meter.Online, 1);
        EXPECT_EQ(meter.ErrCount, 0);
        EXPECT_EQ(meter.ChannelValues[0], 110.0f);  // register 10 of slave 1
        EXPECT_EQ(meter.ChannelValues[1], float(double(111.0f) * 0.1));
        EXPECT_EQ(meter.ChannelValues[c.channels - 1], float(110 + c.channels - 1));
    } else {
        EXPECT_EQ(meter.ErrCount, 1);
        EXPECT_EQ(meter.Online, 1) << "one failure does not take a device offline";
        EXPECT_EQ(meter.ChannelValues[0], -999.0f) << "values are kept";
    }
}

void expectRequests(const Devsim& sim, const FaultCase& c, std::size_t count)
{
    EXPECT_TRUE(sim.waitForRequests(count, milliseconds(2000)));
    const auto requests = sim.requests();
    ASSERT_EQ(requests.size(), count);
    EXPECT_EQ(requests[0].function, c.style == 0 ? 4 : 3);
    EXPECT_EQ(requests[0].reg, 10);
    EXPECT_EQ(requests[0].value, c.channels);
}

// The station's socket, with the station's error handling, connected to
// the simulator on the given port.
struct StationSocket {
    explicit StationSocket(int port)
    {
        socket.setAddress("127.0.0.1");
        socket.setPort(port);
        socket.open();
    }
    ClientSocket socket;
    CommControl control{socket, nullptr};
};

class Transact : public testing::TestWithParam<FaultCase> {};

}  // namespace

TEST_P(Transact, SerialPollInEveryFaultMode)
{
    const FaultCase& c = GetParam();
    WorkDir dir;
    auto sim = Devsim::onPty(comLink(1), devsimArgs(c));
    PortHandle port;
    ASSERT_TRUE(OpenComPort(port, 0, 7));
    MeterRecord meter = polledDevice(c);

    const auto start = Clock::now();
    PollMeterSerial(port, meter);
    const auto elapsed = Clock::now() - start;

    expectOutcome(meter, c, c.serialGood);
    // Three attempts, each after its 300 ms pause, each sending the request again.
    expectRequests(*sim, c, c.serialGood ? 1 : 3);
    EXPECT_GE(elapsed, milliseconds(c.serialGood ? 300 : 900));
    EXPECT_LT(elapsed, milliseconds(10'000));
    CloseComPort(port);
}

TEST_P(Transact, TcpPollInEveryFaultMode)
{
    const FaultCase& c = GetParam();
    auto sim = Devsim::onTcp(devsimArgs(c));
    StationSocket station(sim->port());
    MeterRecord meter = polledDevice(c);

    const auto start = Clock::now();
    PollMeterTcp(station.socket, meter);
    const auto elapsed = Clock::now() - start;

    expectOutcome(meter, c, c.tcpGood);
    expectRequests(*sim, c, 1);  // sent once, whatever the reply
    EXPECT_GE(elapsed, milliseconds(c.tcpGood ? 300 : 900));
    EXPECT_LT(elapsed, milliseconds(10'000));
}

INSTANTIATE_TEST_SUITE_P(FaultModes, Transact, testing::ValuesIn(faultCases), caseName);

TEST(SerialTransact, SlowLineWaitsForTheWholeReply)
{
    // At 2400 baud a 48-channel reply alone is 463 ms on the wire.
    WorkDir dir;
    auto sim = Devsim::onPty(comLink(1));
    PortHandle port;
    ASSERT_TRUE(OpenComPort(port, 0, 0));
    MeterRecord meter;
    meter.MeterAddr = 1;
    meter.ChannelNum = 48;
    PollMeterSerial(port, meter);
    EXPECT_EQ(meter.ErrCount, 0);

    const SerialTimeouts t = SerialGetTimeouts(port);
    EXPECT_EQ(t.ReadTotalTimeoutConstant + t.ReadTotalTimeoutMultiplier * 101, 580u);
    CloseComPort(port);
}

// Each write's echo comes only with the next write's request, and values
// above 1000 are refused: every attempt's reply is a well-formed write reply
// of the same device, but only an echo of the value sent shows it taken.
TEST(SerialTransact, WriteCountsOnlyTheEchoOfItsOwnValue)
{
    WorkDir dir;
    auto sim = Devsim::onPty(comLink(1), {"--fault", "late-write", "--write-max", "1000"});
    PortHandle port;
    ASSERT_TRUE(OpenComPort(port, 0, 7));
    std::uint8_t reply[8];
    struct Case {
        std::int16_t value;
        bool written;  // taken, its echo coming with the second attempt
    };
    for (const Case& c : {Case{5, true}, Case{2000, false}, Case{7, true}, Case{-3, true}}) {
        EXPECT_EQ(WriteSingleRegisterSerial(port, 1, reply, 31, c.value), c.written) << c.value;
        ASSERT_TRUE(ReadHoldingRegistersSerial(port, 1, reply, 31, 1));
        if (c.written) {
            EXPECT_EQ(RegisterAt(reply + 3), c.value);
        }
        EXPECT_NE(RegisterAt(reply + 3), 2000);
    }
    CloseComPort(port);
}

TEST(TcpTransact, WithoutAConnectionFailsAtOnce)
{
    ClientSocket socket;
    MeterRecord meter;
    meter.ChannelNum = 1;
    const auto start = Clock::now();
    PollMeterTcp(socket, meter);
    EXPECT_LT(Clock::now() - start, milliseconds(250)) << "no pause without a connection";
    EXPECT_EQ(meter.ErrCount, 1);
}

TEST(TcpTransact, LateReplyWithinTheReceiveWindowCounts)
{
    // Sent at 0, received from 300 ms on with a 300 ms time-out.
    auto sim = Devsim::onTcp({"--fault", "delay", "--delay", "450"});
    StationSocket station(sim->port());
    MeterRecord meter;
    meter.MeterAddr = 1;
    meter.ChannelNum = 2;
    PollMeterTcp(station.socket, meter);
    EXPECT_EQ(meter.ErrCount, 0);
    EXPECT_EQ(meter.ChannelValues[1], 101.0f);
}

TEST(TcpTransact, ReceiveTimeOutClosesTheConnection)
{
    auto sim = Devsim::onTcp({"--fault", "silent"});
    StationSocket station(sim->port());
    MeterRecord meter;
    meter.ChannelNum = 1;
    PollMeterTcp(station.socket, meter);
    EXPECT_FALSE(station.socket.active()) << "the error handler drops a connection that timed out";
    EXPECT_EQ(meter.ErrCount, 1);
}
