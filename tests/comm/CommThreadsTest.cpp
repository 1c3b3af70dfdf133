#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include "comm/ComPort.h"
#include "comm/CommControl.h"
#include "platform/ClientSocket.h"
#include "platform/SerialCustomBaud.h"
#include "platform/SerialPort.h"
#include "shared/SetValueRequest.h"
#include "support/Devsim.h"
#include "support/Eventually.h"
#include "support/WorkDir.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

std::vector<int> addresses(const std::vector<DevsimRequest>& requests)
{
    std::vector<int> result;
    for (const auto& r : requests)
        result.push_back(r.address);
    return result;
}

// The polls among the requests, without set-value reads and writes.
std::vector<DevsimRequest> polls(const std::vector<DevsimRequest>& requests)
{
    std::vector<DevsimRequest> result;
    for (const auto& r : requests)
        if (r.function == 4)
            result.push_back(r);
    return result;
}

// True when the addresses run through cycle again and again from its start.
bool inTurn(const std::vector<int>& seen, const std::vector<int>& cycle)
{
    for (std::size_t i = 0; i < seen.size(); ++i)
        if (seen[i] != cycle[i % cycle.size()])
            return false;
    return true;
}

std::size_t countBetween(const std::vector<DevsimRequest>& requests, Clock::time_point from, Clock::time_point to)
{
    std::size_t n = 0;
    for (const auto& r : requests)
        n += r.at >= from && r.at <= to;
    return n;
}

// What the main window holds for the device communication, in a working
// directory of its own where Res/COMn leads to the simulated instruments.
class PollingThreads : public testing::Test {
protected:
    PollingThreads() { resetSetValue(); }
    ~PollingThreads() override
    {
        control.StopCommThreads();
        for (PortHandle& handle : table.PortHandles)
            CloseComPort(handle);
        resetSetValue();
    }

    static void resetSetValue()
    {
        SetValueRequest& sv = setValueRequest();
        sv.finish();
        sv.SvPortHandle = PortHandle();
        sv.SvMeterAddr = 0;
        sv.SvValue = 0;
        sv.SvSuccess = 0;
    }

    MeterRecord& addDevice(std::uint8_t address, int comNumber, std::uint16_t startReg = 0)
    {
        MeterRecord& meter = table.MeterRecords[table.MeterCount++];
        meter.MeterAddr = address;
        meter.ChannelNum = 2;
        meter.CommSerial = std::uint8_t(comNumber - 1);
        meter.CommStartReg = startReg;
        return meter;
    }

    MeterRecord& addEthernetDevice(std::uint8_t address, int port)
    {
        MeterRecord& meter = addDevice(address, 1);
        meter.CommMod = 1;
        std::strcpy(meter.IPAddr, "127.0.0.1");
        meter.IPPort = port;
        return meter;
    }

    void start()
    {
        control.BuildPollLists(table);
        control.StartCommThreads(table);
    }

    std::vector<QString> statusTexts()
    {
        std::lock_guard lock(statusMutex);
        return status;
    }

    void postSetValue(std::uint8_t kind, PortHandle port, std::uint8_t address, std::int16_t value = 0)
    {
        SetValueRequest& sv = setValueRequest();
        sv.SvPortHandle = port;
        sv.SvMeterAddr = address;
        sv.SvValue = value;
        sv.SvSuccess = 0;
        sv.post(kind);
    }

    bool served() { return eventually([] { return setValueRequest().pending() == SetValueRequest::None; }, 5s); }

    WorkDir dir;
    DeviceTable table;
    ClientSocket socket;
    std::mutex statusMutex;
    std::vector<QString> status;
    CommControl control{socket, [this](const QString& text) {
                            std::lock_guard lock(statusMutex);
                            status.push_back(text);
                        }};
};

}  // namespace

TEST_F(PollingThreads, PollListsInSlotOrderEthernetByModeAlone)
{
    addDevice(1, 3);
    addEthernetDevice(2, 6000);                 // CommSerial 0: COM1 stays out of it
    addDevice(3, 7);
    addDevice(4, 3);
    addEthernetDevice(5, 6001).CommMod = 2;     // any mode but 0 is Ethernet
    addDevice(6, 41);                           // a damaged port index is no list of its own
    control.BuildPollLists(table);

    EXPECT_EQ(table.PortPollLists[0].PollCount, 0);
    ASSERT_EQ(table.PortPollLists[2].PollCount, 2);
    EXPECT_EQ(table.PortPollLists[2].PollMeters[0], &table.MeterRecords[0]);
    EXPECT_EQ(table.PortPollLists[2].PollMeters[1], &table.MeterRecords[3]);
    ASSERT_EQ(table.PortPollLists[6].PollCount, 1);
    EXPECT_EQ(table.PortPollLists[6].PollMeters[0], &table.MeterRecords[2]);
    ASSERT_EQ(table.EthPollList.PollCount, 2);
    EXPECT_EQ(table.EthPollList.PollMeters[0], &table.MeterRecords[1]);
    EXPECT_EQ(table.EthPollList.PollMeters[1], &table.MeterRecords[4]);

    table.MeterCount = 0;
    control.BuildPollLists(table);
    for (const PortPollList& list : table.PortPollLists)
        EXPECT_EQ(list.PollCount, 0);
    EXPECT_EQ(table.EthPollList.PollCount, 0);
}

TEST_F(PollingThreads, NothingStartsWithoutDevicesAndOnlyEthernetOpensNoPort)
{
    start();
    EXPECT_TRUE(control.CommThreads.empty());
    EXPECT_FALSE(control.IPCommThread);

    addEthernetDevice(1, freeLoopbackPort());
    start();
    EXPECT_TRUE(control.CommThreads.empty());
    EXPECT_TRUE(control.IPCommThread);
    for (const PortHandle& handle : table.PortHandles)
        EXPECT_TRUE(handle.neverOpened());
}

TEST_F(PollingThreads, TwoPortsPolledSideBySideEachInSlotOrder)
{
    auto com1 = Devsim::onPty(comLink(1), {"--address", "1,2,3"});
    auto com3 = Devsim::onPty(comLink(3), {"--address", "5,6"});
    addDevice(1, 1);
    addDevice(5, 3, 20);
    addDevice(2, 1);
    addDevice(6, 3, 20);
    addDevice(3, 1);
    start();
    ASSERT_EQ(control.CommThreads.size(), 2u);

    ASSERT_TRUE(com1->waitForRequests(6));
    ASSERT_TRUE(com3->waitForRequests(4));
    control.StopCommThreads();

    EXPECT_TRUE(inTurn(addresses(com1->requests()), {1, 2, 3}));
    EXPECT_TRUE(inTurn(addresses(com3->requests()), {5, 6}));
    EXPECT_LT(com3->requests()[0].at, com1->requests()[2].at) << "the ports are polled at the same time";
    const float expected[] = {100, 520, 200, 620, 300};
    for (int slot = 0; slot < 5; ++slot) {
        EXPECT_EQ(table.MeterRecords[slot].Online, 1) << "slot " << slot;
        EXPECT_EQ(table.MeterRecords[slot].ChannelValues[0], expected[slot]) << "slot " << slot;
    }
}

// Slot order puts COM7 first; the ports open in port order all the same,
// COM3's before COM7's (so COM3 has the lower descriptor). COM3's one device
// is polled again and again.
TEST_F(PollingThreads, PortsOpenInPortOrderAndALoneDeviceIsPolledBackToBack)
{
    auto com3 = Devsim::onPty(comLink(3), {"--address", "5"});
    auto com7 = Devsim::onPty(comLink(7), {"--address", "1,2"});
    addDevice(1, 7);
    addDevice(5, 3);
    addDevice(2, 7);
    start();

    ASSERT_EQ(control.CommThreads.size(), 2u);
    EXPECT_EQ(control.CommThreads[0]->hComm, table.PortHandles[2]);
    EXPECT_EQ(control.CommThreads[1]->hComm, table.PortHandles[6]);
    ASSERT_TRUE(table.PortHandles[2].isOpen());
    ASSERT_TRUE(table.PortHandles[6].isOpen());
    EXPECT_LT(table.PortHandles[2].fd(), table.PortHandles[6].fd());

    ASSERT_TRUE(com3->waitForRequests(3));
    control.StopCommThreads();
    for (const DevsimRequest& request : com3->requests())
        EXPECT_EQ(request.address, 5);
    EXPECT_TRUE(inTurn(addresses(com7->requests()), {1, 2}));
}

TEST_F(PollingThreads, PortThatDoesNotOpenTakesOnlyItsOwnDevicesOffline)
{
    auto com1 = Devsim::onPty(comLink(1));
    ASSERT_EQ(::symlink("/nonexistent/ttyUSB1", comLink(2).c_str()), 0);
    MeterRecord& lost = addDevice(7, 2);
    MeterRecord& lostToo = addDevice(8, 2);
    MeterRecord& polled = addDevice(1, 1);
    lost.Online = 1;
    lostToo.Online = 1;
    start();

    ASSERT_EQ(control.CommThreads.size(), 2u);
    EXPECT_TRUE(table.PortHandles[1].isInvalid());
    EXPECT_TRUE(eventually([&] { return control.CommThreads[1]->finished(); }));
    EXPECT_EQ(lost.Online, 0);
    EXPECT_EQ(lostToo.Online, 0);
    EXPECT_TRUE(com1->waitForRequests(2));
    EXPECT_TRUE(eventually([&] { return polled.Online == 1; }));
    EXPECT_FALSE(control.CommThreads[0]->finished());
}

TEST_F(PollingThreads, SetValueServedByItsPortWhileTheOtherPortWaits)
{
    auto com1 = Devsim::onPty(comLink(1), {"--address", "1,2"});
    auto com3 = Devsim::onPty(comLink(3), {"--address", "5,6"});
    addDevice(1, 1);
    addDevice(2, 1);
    addDevice(5, 3);
    addDevice(6, 3);
    start();
    ASSERT_TRUE(com1->waitForRequests(2));
    ASSERT_TRUE(com3->waitForRequests(1));
    SetValueRequest& sv = setValueRequest();

    const auto readPosted = Clock::now();
    postSetValue(SetValueRequest::Read, table.PortHandles[2], 6);
    ASSERT_TRUE(served());
    const auto readServed = Clock::now();
    EXPECT_EQ(sv.SvSuccess, 1);
    EXPECT_EQ(sv.SvValue, 631);  // register 31 of slave 6

    postSetValue(SetValueRequest::Write, table.PortHandles[2], 6, -42);
    ASSERT_TRUE(served());
    EXPECT_EQ(sv.SvSuccess, 1);
    postSetValue(SetValueRequest::Read, table.PortHandles[2], 6);
    ASSERT_TRUE(served());
    EXPECT_EQ(sv.SvValue, -42);

    const std::size_t com3Seen = com3->requests().size();
    ASSERT_TRUE(com1->waitForRequests(com1->requests().size() + 3));
    ASSERT_TRUE(com3->waitForRequests(com3Seen + 3));
    control.StopCommThreads();

    const auto com3Requests = com3->requests();
    std::vector<std::string> served;
    for (const auto& r : com3Requests)
        if (r.function != 4)
            served.push_back(std::to_string(r.address) + " " + std::to_string(r.function) + " "
                             + std::to_string(r.reg) + " " + std::to_string(r.value));
    EXPECT_EQ(served, (std::vector<std::string>{"6 3 31 1", "6 6 31 65494", "6 3 31 1"}));
    for (const auto& r : com1->requests())
        EXPECT_EQ(r.function, 4) << "COM1's thread served nothing";
    // Polling went on with the device that was next, on both ports.
    EXPECT_TRUE(inTurn(addresses(com1->requests()), {1, 2}));
    EXPECT_TRUE(inTurn(addresses(polls(com3Requests)), {5, 6}));
    // COM1 finished the poll it was in, then waited.
    EXPECT_LE(countBetween(com1->requests(), readPosted, readServed), 1u);
}

TEST_F(PollingThreads, RequestThatNoThreadHoldsPausesEveryPortUntilWithdrawn)
{
    auto com1 = Devsim::onPty(comLink(1), {"--address", "1,2"});
    auto com2 = Devsim::onPty(comLink(2), {"--address", "3"});
    addDevice(1, 1);
    addDevice(3, 2);
    addDevice(2, 1);
    start();
    ASSERT_TRUE(com1->waitForRequests(2));
    ASSERT_TRUE(com2->waitForRequests(1));

    postSetValue(SetValueRequest::Read, PortHandle::invalid(), 9);
    const std::size_t seen1 = com1->requests().size(), seen2 = com2->requests().size();
    // Each thread may end the poll it is in; the window has room for three
    // polls per port.
    EXPECT_TRUE(holdsFor(
        [&] { return com1->requests().size() <= seen1 + 1 && com2->requests().size() <= seen2 + 1; }, 1000ms));
    EXPECT_EQ(setValueRequest().pending(), SetValueRequest::Read) << "nobody served it";

    const std::size_t paused1 = com1->requests().size(), paused2 = com2->requests().size();
    setValueRequest().withdraw();  // the GUI gives up after its wait
    EXPECT_TRUE(com1->waitForRequests(paused1 + 2));
    EXPECT_TRUE(com2->waitForRequests(paused2 + 1));
    control.StopCommThreads();
    EXPECT_TRUE(inTurn(addresses(com1->requests()), {1, 2}));
    EXPECT_EQ(setValueRequest().SvSuccess, 0);
}

TEST_F(PollingThreads, UnreachableEthernetDeviceFailsOncePerPollAndGoesOffline)
{
    MeterRecord& meter = addEthernetDevice(1, freeLoopbackPort());
    meter.Online = 1;
    start();
    ASSERT_TRUE(eventually([&] { return meter.Online == 0; }));
    const auto texts = statusTexts();
    EXPECT_EQ(meter.ErrCount, 5);
    EXPECT_GE(texts.size(), 5u) << "five failed polls, each with its connection attempt";
    EXPECT_LE(texts.size(), 7u);
    for (const QString& text : texts)
        EXPECT_EQ(text, "127.0.0.1 Connect Fail!");
}

TEST_F(PollingThreads, EthernetDevicesPolledOverANewConnectionEachTime)
{
    auto first = Devsim::onTcp({"--address", "1"});
    auto second = Devsim::onTcp({"--address", "2"});
    MeterRecord& a = addEthernetDevice(1, first->port());
    MeterRecord& b = addEthernetDevice(2, second->port());
    start();
    ASSERT_TRUE(first->waitForRequests(3));
    ASSERT_TRUE(second->waitForRequests(3));
    control.StopCommThreads();

    for (Devsim* sim : {first.get(), second.get()}) {
        std::vector<std::string> events;
        for (const auto& line : sim->process().lines())
            if (line.text == "connect" || line.text.rfind("request", 0) == 0)
                events.push_back(line.text == "connect" ? "connect" : "request");
        for (std::size_t i = 0; i + 1 < events.size(); i += 2) {
            EXPECT_EQ(events[i], "connect") << "event " << i;
            EXPECT_EQ(events[i + 1], "request") << "event " << i + 1;
        }
    }
    EXPECT_EQ(a.Online, 1);
    EXPECT_EQ(a.ChannelValues[1], 101.0f);
    EXPECT_EQ(b.Online, 1);
    EXPECT_EQ(b.ChannelValues[1], 201.0f);
    const auto texts = statusTexts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "127.0.0.1 Connect Success");
}

// Stopping does not wait out the pauses and attempts of the polls under way
// (about 1.2 s with a silent device): closing the station ends it at once.
TEST_F(PollingThreads, StopGivesUpThePollsUnderWay)
{
    auto com1 = Devsim::onPty(comLink(1), {"--fault", "silent"});
    auto eth = Devsim::onTcp({"--fault", "silent"});
    MeterRecord& serial = addDevice(1, 1);
    MeterRecord& ethernet = addEthernetDevice(1, eth->port());
    start();
    ASSERT_TRUE(com1->waitForRequests(1));
    ASSERT_TRUE(eth->waitForRequests(1));

    control.StopCommThreads();
    EXPECT_TRUE(control.CommThreads.empty());
    EXPECT_FALSE(control.IPCommThread);
    EXPECT_TRUE(table.PortHandles[0].isOpen()) << "ports stay open through configuration mode";
    EXPECT_LT(com1->requests().size(), 3u) << "the serial poll made all its attempts";
    EXPECT_EQ(serial.ErrCount, 0) << "a poll given up for the stop is no failure of the device";
    EXPECT_EQ(ethernet.ErrCount, 0);

    // What the threads sent before they stopped is logged ahead of the markers.
    ASSERT_TRUE(com1->markLine(table.PortHandles[0]));
    ASSERT_TRUE(eth->markTcp());
    const std::size_t com1Seen = com1->requests().size();
    const int connects = eth->connections();
    EXPECT_TRUE(holdsFor([&] { return com1->requests().size() == com1Seen && eth->connections() == connects; }, 500ms))
        << "no thread polls any more";
}

// A loopback listener that never accepts and whose queue is full: the
// kernel drops further connection requests, so connects go unanswered.
class UnansweringListener {
public:
    UnansweringListener()
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof at;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&at), size) != 0 || ::listen(listener_, 0) != 0
            || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&at), &size) != 0)
            throw std::runtime_error("no listener");
        port_ = ntohs(at.sin_port);
        // Fill the queue: the first connects, the others stay pending.
        for (int& filler : fillers_) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&at), sizeof at);
        }
        pollfd first{fillers_[0], POLLOUT, 0};
        if (::poll(&first, 1, 10000) != 1)
            throw std::runtime_error("the listener's queue does not fill");
    }
    ~UnansweringListener()
    {
        for (int filler : fillers_)
            ::close(filler);
        ::close(listener_);
    }
    int port() const { return port_; }

    // Connects to the listener that wait for its answer (SYN_SENT), as the kernel lists them.
    int unansweredConnects() const
    {
        std::ifstream table("/proc/net/tcp");
        std::string line;
        std::getline(table, line);  // headings
        int count = 0;
        while (std::getline(table, line)) {
            std::istringstream fields(line);
            std::string slot, local, remote, state;
            fields >> slot >> local >> remote >> state;
            count += state == "02" && std::stoi(remote.substr(remote.find(':') + 1), nullptr, 16) == port_;
        }
        return count;
    }

private:
    int listener_ = -1;
    int fillers_[3] = {-1, -1, -1};
    int port_ = 0;
};

TEST_F(PollingThreads, StopDoesNotWaitForAnUnansweredConnect)
{
    UnansweringListener listener;
    MeterRecord& meter = addEthernetDevice(1, listener.port());
    const int fillersWaiting = listener.unansweredConnects();
    start();
    ASSERT_TRUE(eventually([&] { return listener.unansweredConnects() > fillersWaiting; }))
        << "the station's connect is under way and unanswered";
    ASSERT_TRUE(statusTexts().empty()) << "the connect was answered; the kernel did not drop it";

    const auto begin = Clock::now();
    control.StopCommThreads();
    EXPECT_LT(Clock::now() - begin, 5s) << "an unanswered connect is given up when polling stops";
    EXPECT_EQ(meter.ErrCount, 0) << "an abandoned connect counts as no failed poll";
    EXPECT_TRUE(statusTexts().empty());
}

TEST_F(PollingThreads, StartingAgainReopensTheSamePorts)
{
    auto com1 = Devsim::onPty(comLink(1));
    auto com5 = Devsim::onPty(comLink(5), {"--address", "2"});
    MeterRecord& one = addDevice(1, 1);
    MeterRecord& two = addDevice(2, 5);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::size_t seen1 = com1->requests().size();
        const std::size_t seen5 = com5->requests().size();
        start();  // stops what runs first
        ASSERT_TRUE(table.PortHandles[0].isOpen());
        ASSERT_TRUE(table.PortHandles[4].isOpen());
        EXPECT_TRUE(com1->waitForRequests(seen1 + 1));
        EXPECT_TRUE(com5->waitForRequests(seen5 + 1));
        if (round == 1)
            control.StopCommThreads();
    }
    EXPECT_TRUE(eventually([&] { return one.Online == 1 && two.Online == 1; }));
}

TEST_F(PollingThreads, PortThatHangsUpIsOpenedAgainAndItsDevicesComeBack)
{
    auto com1 = Devsim::onPty(comLink(1));
    MeterRecord& meter = addDevice(1, 1);
    start();
    ASSERT_TRUE(eventually([&] { return meter.Online == 1; }));
    const PortHandle handle = table.PortHandles[0];

    com1.reset();  // the adapter is pulled: its line hangs up, its link goes
    EXPECT_TRUE(eventually([&] { return meter.Online == 0; }, 30s)) << "failures are counted as for a silent line";

    com1 = Devsim::onPty(comLink(1));  // and plugged in again
    EXPECT_TRUE(eventually([&] { return meter.Online == 1; }, 10s)) << "no mode change needed";
    EXPECT_EQ(meter.ErrCount, 0);

    PortHandle intruder = SerialOpen(comLink(1));
    EXPECT_TRUE(intruder.isInvalid()) << "the port is held exclusively again";
    SerialClose(intruder);
    EXPECT_EQ(CurrentBaud(table.PortHandles[0].fd()), 2400u) << "the rate of its baud index, as before";
    // The slot's handle still names the port, so set values reach it.
    EXPECT_EQ(table.PortHandles[0], handle);
    postSetValue(SetValueRequest::Read, table.PortHandles[0], 1);
    ASSERT_TRUE(served());
    EXPECT_EQ(setValueRequest().SvSuccess, 1);
    EXPECT_EQ(setValueRequest().SvValue, 131);
}
