#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "comm/ComPort.h"
#include "comm/CommControl.h"
#include "comm/ModbusCrc.h"
#include "platform/ClientSocket.h"
#include "shared/SetValueRequest.h"
#include "station/core/SetValueExchange.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/PtyPair.h"
#include "support/WorkDir.h"

namespace {

// A one-channel device at address 1 behind Res/COM1, played by the test: it
// answers every poll at once but lets the first two tries of a write of
// LateValue go unanswered, so that write is served after the screen has
// stopped waiting for it.
class LateWriteDevice {
public:
    static constexpr int LateValue = 111;

    LateWriteDevice() : responder_([this] { serve(); }) {}
    ~LateWriteDevice()
    {
        stop_ = true;
        responder_.join();
    }

    std::vector<int> writes() const
    {
        std::lock_guard lock(mutex_);
        return writes_;
    }
    bool polled() const { return polled_; }

private:
    void serve()
    {
        std::string pending;
        int lateTriesLeft = 2;
        while (!stop_) {
            pending += pty_.readMaster(64, 50);
            for (; pending.size() >= 8; pending.erase(0, 8)) {
                const auto* frame = reinterpret_cast<const std::uint8_t*>(pending.data());
                if (frame[1] == 4) {
                    polled_ = true;
                    answer({frame[0], 4, 2, 0, 7});
                } else if (frame[1] == 6) {
                    const int value = frame[4] << 8 | frame[5];
                    {
                        std::lock_guard lock(mutex_);
                        writes_.push_back(value);
                    }
                    if (value == LateValue && lateTriesLeft-- > 0)
                        continue;
                    answer(std::vector<std::uint8_t>(frame, frame + 6));
                }
            }
        }
    }

    void answer(std::vector<std::uint8_t> reply)
    {
        reply.resize(reply.size() + 2);
        AppendModbusCrc(reply.data(), std::uint16_t(reply.size() - 2));
        pty_.writeMaster(std::string(reply.begin(), reply.end()));
    }

    PtyPair pty_{comLink(1)};
    std::atomic<bool> stop_{false};
    std::atomic<bool> polled_{false};
    mutable std::mutex mutex_;
    std::vector<int> writes_;
    std::thread responder_;
};

// The screen gives up a write whose thread is still on the line and at once
// writes another value: the late thread must neither clear the new request
// unserved nor let the screen report it written.
TEST(SetValueExchange, WriteGivenUpOnTheLineLeavesTheNextOneItsOwnOutcome)
{
    WorkDir dir;
    LateWriteDevice device;
    auto table = std::make_unique<DeviceTable>();
    MeterRecord& meter = table->MeterRecords[table->MeterCount++];
    meter.MeterAddr = 1;
    meter.ChannelNum = 1;
    ClientSocket socket;
    CommControl control(socket, {});
    control.BuildPollLists(*table);
    control.StartCommThreads(*table);
    ASSERT_TRUE(eventually([&] { return device.polled(); }));

    SetValueRequest& sv = setValueRequest();
    sv.SvMeterAddr = 1;
    const PortHandle port = table->PortHandles[0];
    const bool lateWritten = exchangeSetValue(sv, SetValueRequest::Write, port, LateWriteDevice::LateValue);
    const bool nextWritten = exchangeSetValue(sv, SetValueRequest::Write, port, 222);
    ASSERT_TRUE(eventually([&] { return sv.pending() == SetValueRequest::None; }));
    control.StopCommThreads();
    CloseComPort(table->PortHandles[0]);

    const std::vector<int> writes = device.writes();
    EXPECT_FALSE(lateWritten) << "answered only after the wait";
    ASSERT_GE(writes.size(), 3u);
    EXPECT_EQ(writes[2], LateWriteDevice::LateValue) << "the late write was still on the line";
    if (nextWritten) {
        EXPECT_EQ(writes.back(), 222) << "reported written, but the device never got it";
    }
}

}  // namespace
