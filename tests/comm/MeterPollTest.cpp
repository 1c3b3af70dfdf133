#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "comm/ComPort.h"
#include "comm/MeterPoll.h"
#include "comm/ModbusCrc.h"
#include "support/Devsim.h"
#include "support/PtyPair.h"
#include "support/WorkDir.h"

namespace {

// A read reply carrying the given registers.
std::vector<std::uint8_t> readReply(const std::vector<std::int16_t>& registers)
{
    std::vector<std::uint8_t> reply{0x01, 0x04, std::uint8_t(2 * registers.size())};
    for (std::int16_t r : registers) {
        reply.push_back(std::uint8_t(std::uint16_t(r) >> 8));
        reply.push_back(std::uint8_t(r & 0xFF));
    }
    reply.resize(reply.size() + 2);
    AppendModbusCrc(reply.data(), std::uint16_t(reply.size() - 2));
    return reply;
}

void setLimits(ChannelRecord& c, float ll, float l, float h, float hh)
{
    c.ChannelLLA = ll;
    c.ChannelLA = l;
    c.ChannelHA = h;
    c.ChannelHHA = hh;
}

// The value as the station scales it: one multiplication by 0.1 per place,
// stored as a 32-bit float after each.
float scaledStepwise(std::int16_t raw, int places)
{
    float v = raw;
    for (int i = 0; i < places; ++i)
        v = float(double(v) * 0.1);
    return v;
}

}  // namespace

TEST(PollDecoding, ValuesAndAlarmFlagsPerChannel)
{
    struct Case {
        std::int16_t raw;
        std::uint8_t places;
        float ll, l, h, hh;
        float value;
        std::uint8_t flagLL, flagL, flagH, flagHH;
    };
    const Case cases[] = {
        // raw unchanged with no decimal places; inside all limits
        {1234, 0, -100, 0, 2000, 3000, 1234.0f, 0, 0, 0, 0},
        // 0xFFFF is -1, below both low limits
        {-1, 0, 0, 0, 10, 20, -1.0f, 1, 1, 0, 0},
        {-1234, 2, -20, -15, 0, 5, scaledStepwise(-1234, 2), 0, 0, 0, 0},
        {12345, 4, 0, 0, 1, 2, scaledStepwise(12345, 4), 0, 0, 1, 0},
        {-32768, 1, -5000, 0, 0, 0, scaledStepwise(-32768, 1), 0, 1, 0, 0},
        {32767, 3, 0, 0, 32.767f, 100, scaledStepwise(32767, 3), 0, 0, 1, 0},
        // a value equal to HA raises H; equal to LA raises L
        {500, 0, 0, 500, 500, 1000, 500.0f, 0, 1, 1, 0},
        // limits in any order: LL above H, a value between raises both
        {50, 0, 80, 10, 20, 90, 50.0f, 1, 0, 1, 0},
    };
    MeterRecord meter;
    meter.ChannelNum = std::uint8_t(std::size(cases));
    std::vector<std::int16_t> registers;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        meter.Channels[i].ChannelPoin = cases[i].places;
        setLimits(meter.Channels[i], cases[i].ll, cases[i].l, cases[i].h, cases[i].hh);
        registers.push_back(cases[i].raw);
    }
    meter.ErrCount = 3;
    StorePollReply(meter, readReply(registers).data());

    EXPECT_EQ(meter.Online, 1);
    EXPECT_EQ(meter.ErrCount, 0);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("channel " + std::to_string(i));
        EXPECT_EQ(meter.ChannelValues[i], cases[i].value);
        EXPECT_EQ(meter.AlarmLLA[i], cases[i].flagLL);
        EXPECT_EQ(meter.AlarmLA[i], cases[i].flagL);
        EXPECT_EQ(meter.AlarmHA[i], cases[i].flagH);
        EXPECT_EQ(meter.AlarmHHA[i], cases[i].flagHH);
    }
    EXPECT_NEAR(meter.ChannelValues[2], -12.34f, 1e-4);
}

TEST(PollDecoding, ScalingIsRepeatedMultiplicationNotDivision)
{
    // The two differ in the last bit for some values; the station's files
    // and screens show the stepwise result.
    int differing = 0;
    for (int raw = -32768; raw <= 32767; raw += 7) {
        const float stepwise = ScaleRegister(std::int16_t(raw), 3);
        ASSERT_NEAR(stepwise, raw / 1000.0, 1e-5 * std::max(1.0, std::abs(raw / 1000.0)));
        differing += stepwise != float(raw / 1000.0);
    }
    EXPECT_GT(differing, 0);
}

TEST(PollDecoding, FortyEightChannelsFromTheLongestReply)
{
    MeterRecord meter;
    meter.ChannelNum = 48;
    std::vector<std::int16_t> registers;
    for (int i = 0; i < 48; ++i)
        registers.push_back(std::int16_t(i * 100 - 2400));
    const auto reply = readReply(registers);
    ASSERT_EQ(reply.size(), 101u);
    StorePollReply(meter, reply.data());
    for (int i = 0; i < 48; ++i)
        EXPECT_EQ(meter.ChannelValues[i], float(i * 100 - 2400)) << "channel " << i;
}

TEST(PollFailures, OfflineAfterFiveHeldThereOnlineAfterOneGoodPoll)
{
    MeterRecord meter;
    meter.ChannelNum = 1;
    StorePollReply(meter, readReply({77}).data());
    meter.AlarmHHA[0] = 1;

    for (int failure = 1; failure <= 4; ++failure) {
        RecordPollFailure(meter);
        EXPECT_EQ(meter.ErrCount, failure);
        EXPECT_EQ(meter.Online, 1) << "after failure " << failure;
    }
    RecordPollFailure(meter);
    EXPECT_EQ(meter.ErrCount, 5);
    EXPECT_EQ(meter.Online, 0);
    RecordPollFailure(meter);
    EXPECT_EQ(meter.ErrCount, 5);
    EXPECT_EQ(meter.Online, 0);
    EXPECT_EQ(meter.ChannelValues[0], 77.0f) << "values stay as the last good poll left them";
    EXPECT_EQ(meter.AlarmHHA[0], 1);

    StorePollReply(meter, readReply({78}).data());
    EXPECT_EQ(meter.ErrCount, 0);
    EXPECT_EQ(meter.Online, 1);
}

TEST(PollFailures, UnknownRegisterTypeSendsNothingAndCounts)
{
    WorkDir dir;
    PtyPair pty(comLink(1));
    PortHandle port;
    ASSERT_TRUE(OpenComPort(port, 0, 2));

    MeterRecord meter;
    meter.ChannelNum = 2;
    meter.CommStyle = 2;
    PollMeterSerial(port, meter);
    EXPECT_EQ(meter.ErrCount, 1);
    EXPECT_EQ(pty.readMaster(16, 100), "");
    CloseComPort(port);
}
