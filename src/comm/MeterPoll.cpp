#include "comm/MeterPoll.h"

#include <iterator>

#include "comm/ModbusRequests.h"
#include "platform/Sleep.h"

namespace {

constexpr int FirstRegisterByte = 3;

template <typename Link, typename Builder, std::size_t N>
void pollMeter(Link&& link, MeterRecord& meter, const Builder (&builders)[N])
{
    std::uint8_t reply[PollReplyBufferSize];
    const bool good = meter.CommStyle < std::size(builders)
        && builders[meter.CommStyle](link, meter.MeterAddr, reply, meter.CommStartReg,
                                     std::uint16_t(meter.channelCount()));
    if (good)
        StorePollReply(meter, reply);
    else if (!StopRequested())  // given up for the stop, not failed by the device
        RecordPollFailure(meter);
}

}  // namespace

void PollMeterSerial(PortHandle port, MeterRecord& meter)
{
    pollMeter(port, meter, SerialReadBuilders);
}

void PollMeterTcp(ClientSocket& socket, MeterRecord& meter)
{
    pollMeter(socket, meter, TcpReadBuilders);
}

void RecordPollFailure(MeterRecord& meter)
{
    if (meter.ErrCount < OfflineErrCount)
        meter.ErrCount = std::uint8_t(meter.ErrCount + 1);
    if (meter.ErrCount >= OfflineErrCount)
        meter.Online = 0;
}

float ScaleRegister(std::int16_t raw, int decimalPlaces)
{
    float v = float(raw);
    for (int step = 0; step < decimalPlaces; ++step)
        v = float(double(v) * 0.1);
    return v;
}

void StorePollReply(MeterRecord& meter, const std::uint8_t* reply)
{
    meter.Online = 1;
    for (int i = 0; i < meter.channelCount(); ++i) {
        const ChannelRecord& channel = meter.Channels[i];
        const float v = ScaleRegister(RegisterAt(reply + FirstRegisterByte + 2 * i), channel.ChannelPoin);
        meter.ChannelValues[i] = v;
        meter.AlarmLLA[i] = v <= channel.ChannelLLA;
        meter.AlarmLA[i] = v <= channel.ChannelLA;
        meter.AlarmHA[i] = v >= channel.ChannelHA;
        meter.AlarmHHA[i] = v >= channel.ChannelHHA;
    }
    meter.ErrCount = 0;
}
