#include "station/core/GsmModulePort.h"

#include "comm/ComPort.h"
#include "platform/SerialPort.h"

namespace {
constexpr int GsmBaudIndex = 2;  // 9600
}

bool sendToGsmModule(int portIndex, const QByteArray& text)
{
    PortHandle slot;  // a slot of its own, fresh for every message
    if (!OpenComPort(slot, portIndex, GsmBaudIndex))
        return false;
    SerialPurgeReceive(slot);
    // A module that takes the text slowly or not at all goes unnoticed.
    SerialWrite(slot, text.constData(), int(text.size()));
    CloseComPort(slot);
    return true;
}
