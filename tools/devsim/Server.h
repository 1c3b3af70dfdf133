#pragma once
#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "SlaveModel.h"

// The event loop of the simulator: lines (a pseudo-terminal's master side or
// TCP connections) carrying requests, a listening socket, delayed replies and
// commands on standard input.
class Server {
public:
    explicit Server(SlaveModel& model) : model_(model) {}
    ~Server();

    // Both print the ready line and serve until a stop signal; false with a
    // message when the line cannot be set up.
    bool servePty(const std::string& link);
    bool serveTcp(int port);

private:
    using Clock = std::chrono::steady_clock;
    struct Line {
        Frame buffer;
        Clock::time_point lastByte;
    };
    struct Pending {
        Clock::time_point due;
        int fd;
        Frame reply;
    };

    void run();
    int pollTimeoutMs() const;
    void acceptConnection();
    void readLine(int fd);
    void closeLine(int fd);
    void takeRequests(int fd, Line& line);
    void sendDueReplies();
    void readCommands();
    void runCommand(const std::string& command);

    SlaveModel& model_;
    int listenFd_ = -1;
    int ptySlaveFd_ = -1;
    std::string ptyLink_;
    std::map<int, Line> lines_;
    std::vector<Pending> pending_;
    bool commandsOpen_ = true;
    std::string commandBuffer_;
};
