#include "station/core/SetValueExchange.h"

#include "platform/Sleep.h"

namespace {

// Long enough for any transaction of a serial thread to end.
constexpr unsigned FreeWaitMs = 10000;
constexpr unsigned FreeRecheckMs = 5;

bool eventuallyFree(const SetValueRequest& sv)
{
    for (unsigned waited = 0; sv.pending() != SetValueRequest::None; waited += FreeRecheckMs) {
        if (waited >= FreeWaitMs)
            return false;
        Sleep(FreeRecheckMs);
    }
    return true;
}

}  // namespace

PortHandle setValuePort(const DeviceTable& table, int slot)
{
    if (slot < 0 || slot >= table.MeterCount)
        return PortHandle();
    const MeterRecord& meter = table.MeterRecords[slot];
    // A thread with a port never opened ends at once, so none holds this.
    if (meter.CommMod != 0 || meter.CommSerial >= MaxComPorts)
        return PortHandle();
    return table.PortHandles[meter.CommSerial];
}

bool exchangeSetValue(SetValueRequest& sv, std::uint8_t kind, PortHandle port, std::int16_t value)
{
    // A request given up earlier may still be on the line; its thread would
    // overwrite this one's value and clear it unserved.
    if (!eventuallyFree(sv))
        return false;
    if (kind == SetValueRequest::Write)
        sv.SvValue = value;
    sv.SvPortHandle = port;
    // An earlier success must not count for this request.
    sv.SvSuccess = 0;
    sv.post(kind);
    Sleep(SetValueWaitMs);
    // Only a request seen served makes the thread's results visible here.
    return sv.withdraw() && sv.SvSuccess == 1;
}
