#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

// A FIFO that nobody writes to: a reader that opens or reads it as a file
// waits for good. So that a test of such a reader fails instead of hanging,
// once the time limit has passed the FIFO is opened for writing and closed
// again, which ends any such wait at end of file; rescuedAReader() tells.
class UnansweredFifo {
public:
    explicit UnansweredFifo(std::string path, std::chrono::seconds limit = std::chrono::seconds(10));
    ~UnansweredFifo();
    UnansweredFifo(const UnansweredFifo&) = delete;
    UnansweredFifo& operator=(const UnansweredFifo&) = delete;

    bool rescuedAReader() const { return rescued_; }

private:
    void watch(std::chrono::seconds limit);

    std::string path_;
    std::atomic<bool> rescued_{false};
    std::mutex mutex_;
    std::condition_variable stop_;
    bool stopping_ = false;
    std::thread watchdog_;
};
