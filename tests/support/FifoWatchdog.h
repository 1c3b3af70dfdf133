#pragma once
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// A FIFO made at path for code that must never wait on one. Should that code
// still wait in its open after the limit, the watchdog opens the other end,
// so that the test goes on and fails instead of hanging; released() tells
// that it had to.
class FifoWatchdog {
public:
    // The end the code under test opens.
    enum class Opener { Reader, Writer };

    FifoWatchdog(const std::string& path, Opener opener, std::chrono::seconds limit = std::chrono::seconds(10));
    ~FifoWatchdog();
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    bool released() const;

private:
    void watch(std::chrono::seconds limit);

    const std::string path_;
    const Opener opener_;
    mutable std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    bool released_ = false;
    int held_ = -1;  // the end that takes what a released writer writes
    std::thread thread_;
};
