#include "station/SetValueExchange.h"

#include "platform/Sleep.h"

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

bool exchangeSetValue(SetValueRequest& sv, std::uint8_t kind, PortHandle port)
{
    sv.SvPortHandle = port;
    // An earlier success must not count for this request.
    sv.SvSuccess = 0;
    sv.post(kind);
    Sleep(SetValueWaitMs);
    // Only a request seen served makes the thread's results visible here.
    const bool served = sv.pending() == SetValueRequest::None;
    const bool succeeded = served && sv.SvSuccess == 1;
    sv.finish();
    return succeeded;
}
