#include "DemoPlant.h"

#include <QString>

#include <cmath>
#include <stdexcept>

#include "platform/Gbk.h"

// Limits are set so that for part of each swing the boiler goes beyond HA
// and then HHA, and the pump's outlet pressure below LA, with quiet spells
// between; the fan's line falls silent for 20 s of every minute.
const std::vector<DemoLine> DemoLines = {
    {"COM1", 0, 2, "12,60", nullptr},
    {"COM2", 1, 2, "5,30", "40,20"},
    {"TCP", -1, 0, "10,90", nullptr},
};

const std::vector<DemoDevice> DemoDevices = {
    {"锅炉1", "COM1", 1, 0, 1,
     {{"炉膛温度", "℃", 1, 85.0, 60, 70, 92, 94},
      {"蒸汽压力", "MPa", 2, 1.25, 0.8f, 0.9f, 1.6f, 1.8f},
      {"汽包水位", "mm", 0, 50, 20, 30, 70, 80},
      {"烟气含氧量", "%", 1, 4.5, 2, 3, 6, 7}}},
    {"循环泵2", "COM1", 2, 4, 5,
     {{"出口温度", "℃", 1, 65.0, 40, 50, 80, 90},
      {"电机电流", "A", 1, 32.6, 10, 20, 45, 50},
      {"出口压力", "MPa", 2, 0.62, 0.5f, 0.57f, 0.8f, 0.9f}}},
    {"引风机3", "COM2", 3, 0, 10,
     {{"风压", "kPa", 2, 3.2, 1, 2, 5, 6},
      {"轴承温度", "℃", 1, 56.0, 20, 30, 75, 85}}},
    {"水箱4", "TCP", 4, 0, 30,
     {{"液位", "cm", 1, 72.5, 40, 50, 85, 90},
      {"水温", "℃", 1, 38.4, 10, 20, 60, 70}}},
};

namespace {

// Curve colours, 0x00BBGGRR, one per channel in global order.
constexpr std::int32_t Palette[] = {0x0000FF, 0x00C000, 0xFF8000, 0x00A0FF, 0xC000C0, 0xC0C000,
                                    0x4040FF, 0x008080, 0xFF40A0, 0x80FF80, 0x2080C0};

const DemoLine* findLine(const std::string& name)
{
    for (const DemoLine& line : DemoLines)
        if (name == line.name)
            return &line;
    return nullptr;
}

const DemoLine& lineOf(const DemoDevice& device)
{
    if (const DemoLine* line = findLine(device.line))
        return *line;
    throw std::logic_error(std::string("no demo line ") + device.line);
}

int rawValue(const DemoChannel& channel)
{
    return int(std::lround(channel.value * std::pow(10, channel.decimals)));
}

std::string commaList(const std::vector<int>& numbers)
{
    std::string text;
    for (const int n : numbers) {
        if (!text.empty())
            text += ',';
        text += std::to_string(n);
    }
    return text;
}

}  // namespace

void fillDemoTable(DeviceTable& table, int tcpPort)
{
    table.MeterCount = std::int32_t(DemoDevices.size());
    std::size_t g = 0;
    for (std::size_t k = 0; k < DemoDevices.size(); ++k) {
        const DemoDevice& device = DemoDevices[k];
        const DemoLine& line = lineOf(device);
        MeterConfig& slot = table.MeterRecords[k].config();
        slot.MeterAddr = std::uint8_t(device.address);
        slot.ChannelNum = std::uint8_t(device.channels.size());
        slot.CommSerial = std::uint8_t(line.comPort < 0 ? 0 : line.comPort);
        slot.CommMod = line.comPort < 0 ? 1 : 0;
        slot.CommStartReg = std::uint16_t(device.startRegister);
        slot.PreRecordTime = device.recordInterval;
        slot.IPPort = line.comPort < 0 ? tcpPort : 0;
        copyToField(slot.IPAddr, QStringLiteral("127.0.0.1"));
        copyToField(slot.MeterName, QString::fromUtf8(device.name));
        for (std::size_t j = 0; j < device.channels.size(); ++j, ++g) {
            const DemoChannel& demo = device.channels[j];
            ChannelRecord& channel = slot.Channels[j];
            channel.ChannelPoin = std::uint8_t(demo.decimals);
            channel.ChannelColor = Palette[g % std::size(Palette)];
            channel.ChannelLLA = demo.lla;
            channel.ChannelLA = demo.la;
            channel.ChannelHA = demo.ha;
            channel.ChannelHHA = demo.hha;
            copyToField(channel.ChannelUnit, QString::fromUtf8(demo.unit));
            copyToField(channel.ChannelName, QString::fromUtf8(demo.name));
        }
    }
}

void fillDemoBaudTable(std::int32_t (&table)[MaxComPorts])
{
    for (const DemoLine& line : DemoLines)
        if (line.comPort >= 0)
            table[line.comPort] = line.baudIndex;
}

std::vector<std::string> devsimOptions(const std::string& name)
{
    const DemoLine* line = findLine(name);
    if (!line)
        return {};
    std::vector<int> addresses, registers;
    for (const DemoDevice& device : DemoDevices) {
        if (name != device.line)
            continue;
        addresses.push_back(device.address);
        for (std::size_t j = 0; j < device.channels.size(); ++j) {
            const std::size_t reg = device.startRegister + j;
            registers.resize(std::max(registers.size(), reg + 1));
            registers[reg] = rawValue(device.channels[j]);
        }
    }
    std::vector<std::string> options = {"--address", commaList(addresses), "--values", commaList(registers),
                                        "--swing", line->swing};
    if (line->silentCycle)
        options.insert(options.end(), {"--silent-cycle", line->silentCycle});
    return options;
}
