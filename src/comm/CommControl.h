#pragma once
#include <memory>
#include <vector>

#include "comm/CommSrvTh.h"
#include "comm/IPCommSrvTh.h"
#include "shared/DeviceTable.h"

class ClientSocket;

// The station's side of the device communication: builds the poll lists,
// opens the COM ports and runs one polling thread per port in use and one for
// all Ethernet devices, stops them again, and handles the client socket's
// events. The main window owns one, with the device table and the socket;
// the table must outlive the threads, which destroying this stops.
class CommControl {
public:
    CommControl(ClientSocket& socket, CommStatusSink statusPanel);
    ~CommControl();
    CommControl(const CommControl&) = delete;
    CommControl& operator=(const CommControl&) = delete;

    // Groups the devices in use into the lists, in slot order: Ethernet
    // devices (CommMod not 0) into EthPollList, the others by CommSerial.
    // Threads still running are stopped first.
    void BuildPollLists(DeviceTable& table);
    // Stops what runs, then opens each port that has devices, in ascending
    // order, each just before its thread starts; starts the Ethernet thread
    // when there are Ethernet devices.
    void StartCommThreads(DeviceTable& table);
    // Terminates and awaits every thread, one transaction at most each. The
    // ports stay open until their slots are opened again.
    void StopCommThreads();

    void clientSocket_MeterCommConnect(ClientSocket& socket);
    void clientSocket_MeterCommError(ClientSocket& socket, int& errorCode);

    std::vector<std::unique_ptr<TCommSrvTh>> CommThreads;
    std::unique_ptr<TIPCommSrvTh> IPCommThread;

private:
    ClientSocket& clientSocket_MeterComm;
    CommStatusSink statusPanel_;
};
