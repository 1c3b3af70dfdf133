#include "comm/CommSrvTh.h"

#include "comm/MeterPoll.h"
#include "comm/ModbusRequests.h"
#include "platform/SerialPort.h"
#include "platform/Sleep.h"
#include "shared/SetValueRequest.h"

namespace {

constexpr std::uint16_t SetValueRegister = 31;
constexpr int SetValueReplyBufferSize = 20;

}  // namespace

void TCommSrvTh::execute()
{
    if (!hComm.isOpen()) {
        markListOffline();
        return;
    }
    SetValueRequest& sv = setValueRequest();
    int next = 0;
    while (!terminated()) {
        const std::uint8_t state = sv.pending();
        if (state == SetValueRequest::None) {
            poll(*PollMeters[next]);
            next = (next + 1) % PollCount;
        } else if (!(state & SetValueRequest::InService) && sv.SvPortHandle.load() == hComm && sv.take(state)) {
            // What was taken may be a newer request, posted for another port
            // since the port was read.
            if (sv.SvPortHandle.load() == hComm) {
                serveSetValue(state);
                sv.finish();
            } else {
                sv.giveBack(state);
            }
        } else {
            Sleep(RequestRecheckMs);
        }
    }
}

void TCommSrvTh::poll(MeterRecord& meter)
{
    if (!SerialLineLost(hComm) || SerialReopen(hComm)) {
        PollMeterSerial(hComm, meter);
        return;
    }
    RecordPollFailure(meter);
    pause(ReopenPauseMs);
}

void TCommSrvTh::markListOffline()
{
    for (int i = 0; i < PollCount; ++i)
        PollMeters[i]->Online = 0;
}

void TCommSrvTh::serveSetValue(std::uint8_t kind)
{
    SetValueRequest& sv = setValueRequest();
    std::uint8_t reply[SetValueReplyBufferSize];
    if (kind == SetValueRequest::Read) {
        const bool ok = ReadHoldingRegistersSerial(hComm, sv.SvMeterAddr, reply, SetValueRegister, 1);
        if (ok)
            sv.SvValue = RegisterAt(reply + 3);
        sv.SvSuccess = ok;
    } else if (kind == SetValueRequest::Write) {
        sv.SvSuccess = WriteSingleRegisterSerial(hComm, sv.SvMeterAddr, reply, SetValueRegister, sv.SvValue);
    }
}
