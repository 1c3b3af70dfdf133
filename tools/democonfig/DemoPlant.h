#pragma once
#include <string>
#include <vector>

#include "shared/DeviceTable.h"

// The demo's plant: devices on two simulated serial lines and one loopback
// TCP device, with the values the simulators serve and the channels' limits.
// Both the Config.dat slots and the simulators' options come from here, so
// that they always agree.

struct DemoChannel {
    const char* name;
    const char* unit;
    int decimals;
    double value;  // the level the simulator swings around
    float lla, la, ha, hha;
};

struct DemoDevice {
    const char* name;
    const char* line;  // "COM1", "COM2" or "TCP"
    int address;
    int startRegister;
    int recordInterval;
    std::vector<DemoChannel> channels;
};

struct DemoLine {
    const char* name;
    int comPort;  // 0 = COM1; -1 = Ethernet
    int baudIndex;
    const char* swing;         // devsim --swing
    const char* silentCycle;   // devsim --silent-cycle, or nullptr
};

extern const std::vector<DemoLine> DemoLines;
extern const std::vector<DemoDevice> DemoDevices;

// Slots 0.. of the table filled with the demo devices; the TCP device on
// 127.0.0.1:tcpPort.
void fillDemoTable(DeviceTable& table, int tcpPort);

// The baud index of every COM port in use.
void fillDemoBaudTable(std::int32_t (&table)[MaxComPorts]);

// devsim's options for one line, beside --pty or --tcp: the addresses, the
// register values and the line's changes. Empty when no line has that name.
std::vector<std::string> devsimOptions(const std::string& line);
