#pragma once
#include <atomic>
#include <condition_variable>
#include <mutex>

// Blocks the calling thread for the given milliseconds, or until the stop
// flag the thread has made its own is raised.
void Sleep(unsigned milliseconds);

// Another thread's request that a thread stop. The thread that makes the
// flag its own (makeCurrent) wakes from Sleep at once when it is raised, so
// that stopping it need not wait out the pauses of what it is doing.
class StopFlag {
public:
    void raise();
    bool raised() const { return raised_.load(); }
    // Waits up to the given milliseconds; true once the flag is raised.
    bool wait(unsigned milliseconds);
    // The calling thread's flag from now on.
    void makeCurrent();

private:
    std::atomic<bool> raised_{false};
    std::mutex mutex_;
    std::condition_variable raisedEvent_;
};

// True when the calling thread has a stop flag and it is raised.
bool StopRequested();
