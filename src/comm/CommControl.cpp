#include "comm/CommControl.h"

#include <algorithm>

#include "comm/ComPort.h"
#include "platform/ClientSocket.h"

CommControl::CommControl(ClientSocket& socket, CommStatusSink statusPanel)
    : clientSocket_MeterComm(socket), statusPanel_(std::move(statusPanel))
{
    socket.setOnConnect([this](ClientSocket& s) { clientSocket_MeterCommConnect(s); });
    socket.setOnError([this](ClientSocket& s, ClientSocket::ErrorEvent, int& code) {
        clientSocket_MeterCommError(s, code);
    });
}

CommControl::~CommControl()
{
    StopCommThreads();
    clientSocket_MeterComm.setOnConnect(nullptr);
    clientSocket_MeterComm.setOnError(nullptr);
}

void CommControl::BuildPollLists(DeviceTable& table)
{
    // The threads read the lists without a lock: none may run while they change.
    StopCommThreads();
    for (PortPollList& list : table.PortPollLists)
        list.clear();
    table.EthPollList.clear();
    const int count = table.MeterCount < 0 ? 0 : std::min<int>(table.MeterCount, MaxMeters);
    for (int k = 0; k < count; ++k) {
        MeterRecord& meter = table.MeterRecords[k];
        if (meter.CommMod != 0)
            table.EthPollList.append(&meter);
        else if (meter.CommSerial < MaxComPorts)
            table.PortPollLists[meter.CommSerial].append(&meter);
    }
}

void CommControl::StartCommThreads(DeviceTable& table)
{
    StopCommThreads();
    for (int i = 0; i < MaxComPorts; ++i) {
        const PortPollList& list = table.PortPollLists[i];
        if (list.PollCount <= 0)
            continue;
        OpenComPort(table.PortHandles[i], i, table.PortBaudTable[i]);
        auto thread = std::make_unique<TCommSrvTh>();
        thread->PollCount = list.PollCount;
        thread->PollMeters = list.PollMeters;
        thread->hComm = table.PortHandles[i];
        thread->raisePriority();
        thread->resume();
        CommThreads.push_back(std::move(thread));
    }
    const PortPollList& eth = table.EthPollList;
    if (eth.PollCount >= 1) {
        IPCommThread = std::make_unique<TIPCommSrvTh>();
        IPCommThread->PollCount = eth.PollCount;
        IPCommThread->PollMeters = eth.PollMeters;
        IPCommThread->CommSocket = &clientSocket_MeterComm;
        IPCommThread->CommStatusBar = statusPanel_;
        IPCommThread->raisePriority();
        IPCommThread->resume();
    }
}

void CommControl::StopCommThreads()
{
    // Terminate all first, so that the threads wind down side by side.
    for (auto& thread : CommThreads)
        thread->terminate();
    if (IPCommThread)
        IPCommThread->terminate();
    CommThreads.clear();
    IPCommThread.reset();
}

void CommControl::clientSocket_MeterCommConnect(ClientSocket& socket)
{
    if (statusPanel_)
        statusPanel_(QString::fromStdString(socket.address()) + " Connect Success");
}

void CommControl::clientSocket_MeterCommError(ClientSocket& socket, int& errorCode)
{
    errorCode = 0;
    socket.close();
}
