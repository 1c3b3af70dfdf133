#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/PortHandle.h"
#include "support/ChildProcess.h"

// One request as the simulated instrument logged it.
struct DevsimRequest {
    int address;
    int function;
    int reg;
    int value;  // register count, or the value written
    ChildProcess::Clock::time_point at;
};

// One text as the simulated GSM module received it.
struct GsmMessage {
    std::string arrival;  // local time of its first byte, "YYYY-MM-DD HH:MM:SS.mmm"
    std::string text;     // converted from GBK to UTF-8
};

// tools/devsim running beside a test, on a pseudo-terminal reached through a
// link (Res/COMn in the test's working directory) or on a loopback TCP port.
class Devsim {
public:
    // extraArgs: further devsim options, e.g. {"--address", "1,2"}.
    static std::unique_ptr<Devsim> onPty(const std::string& link, const std::vector<std::string>& extraArgs = {});
    static std::unique_ptr<Devsim> onTcp(const std::vector<std::string>& extraArgs = {});
    // A GSM module instead of instruments; extraArgs e.g. {"--raw", path}.
    static std::unique_ptr<Devsim> gsmOnPty(const std::string& link, const std::vector<std::string>& extraArgs = {});

    int port() const { return port_; }
    // Changes the fault mode ("silent", "none", ...) and waits until it holds.
    void setFault(const std::string& mode);
    std::vector<DevsimRequest> requests() const;
    int connections() const;
    bool waitForRequests(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    std::vector<GsmMessage> messages() const;
    bool waitForMessages(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    ChildProcess& process() { return process_; }

    // A request of the test's own, for an address no instrument here has,
    // written on port (a line to this simulator), or sent over a connection
    // of its own to the TCP port; true once the simulator has logged it.
    // Lines and connections are served in the order their bytes came, so by
    // then every request and connection that came before is logged too.
    bool markLine(PortHandle port) const;
    bool markTcp() const;

private:
    explicit Devsim(const std::vector<std::string>& argv);
    bool waitForLines(const std::string& prefix, std::size_t count, std::chrono::milliseconds timeout) const;

    ChildProcess process_;
    int port_ = 0;
};

// Res/COM<n> in the working directory, the folder created when missing.
std::string comLink(int comNumber);

// A loopback TCP port that nothing listens on at the moment of the call.
int freeLoopbackPort();
