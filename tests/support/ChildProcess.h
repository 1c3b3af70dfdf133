#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// A program run beside a test: its standard input is a pipe the test writes
// to, its standard output is collected line by line. It ends with the object
// (SIGTERM, then SIGKILL) or with the test program.
class ChildProcess {
public:
    using Clock = std::chrono::steady_clock;
    struct Line {
        std::string text;
        Clock::time_point at;  // when the line arrived here
    };

    explicit ChildProcess(const std::vector<std::string>& argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void writeLine(const std::string& line);
    void signal(int sig);
    // The program's wait status (as waitpid gives it) once it has ended.
    std::optional<int> waitStatus();
    std::vector<Line> lines() const;
    // Waits until the collected lines satisfy done; false on time-out or
    // once the program has closed its output without satisfying it.
    bool waitFor(const std::function<bool(const std::vector<Line>&)>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // The first line starting with prefix, waited for; empty on time-out.
    std::string waitForLineStarting(const std::string& prefix,
                                    std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    void readOutput();

    int pid_ = -1;
    std::optional<int> status_;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    std::thread reader_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<Line> lines_;
    bool closed_ = false;
};
