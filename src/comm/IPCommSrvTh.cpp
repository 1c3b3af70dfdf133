#include "comm/IPCommSrvTh.h"

#include "comm/MeterPoll.h"
#include "platform/ClientSocket.h"
#include "platform/Gbk.h"
#include "platform/Sleep.h"

QString MeterIpAddress(const MeterRecord& meter)
{
    const std::string_view address = fieldBytes(meter.IPAddr);
    return QString::fromLatin1(address.data(), qsizetype(address.size()));
}

void TIPCommSrvTh::execute()
{
    int next = 0;
    while (!terminated()) {
        MeterRecord& meter = *PollMeters[next];
        if (CommSocket->active()) {
            CommSocket->close();
            Sleep(ClosePauseMs);
        }
        const bool connected = connectTo(meter);
        if (terminated())
            break;  // an abandoned connect is no failed poll
        PollMeterTcp(*CommSocket, meter);
        if (!connected)
            Sleep(ConnectFailPauseMs);
        next = (next + 1) % PollCount;
    }
}

bool TIPCommSrvTh::connectTo(const MeterRecord& meter)
{
    CommSocket->setAddress(MeterIpAddress(meter).toStdString());
    CommSocket->setPort(meter.IPPort);
    try {
        CommSocket->open([this] { return terminated(); });
        return true;
    } catch (const SocketError&) {
        if (CommStatusBar && !terminated())
            CommStatusBar(QString::fromStdString(CommSocket->address()) + " Connect Fail!");
        return false;
    }
}
