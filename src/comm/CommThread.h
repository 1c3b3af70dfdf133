#pragma once
#include <atomic>
#include <thread>

#include "platform/Sleep.h"

// A polling thread in the manner of the form library's TThread: created
// suspended, started by resume(), looping in execute() until terminated.
// Destroying it terminates it and waits until execute() has returned.
class CommThread {
public:
    CommThread() = default;
    virtual ~CommThread();
    CommThread(const CommThread&) = delete;
    CommThread& operator=(const CommThread&) = delete;

    // One step above normal priority where the system allows it; applied
    // when the thread starts, silently left as it is where it is refused.
    void raisePriority() { raisePriority_ = true; }
    void resume();
    void terminate();
    bool terminated() const { return stop_.raised(); }
    // execute() has returned (or the thread was never resumed).
    bool finished() const { return finished_.load(); }

protected:
    // Waits the given milliseconds, or less when the thread is terminated.
    // Every Sleep of the thread does the same.
    void pause(unsigned milliseconds) { stop_.wait(milliseconds); }
    // Derived classes call this first thing in their destructor, so that
    // execute() never runs on a half-destroyed object.
    void terminateAndWait();

private:
    virtual void execute() = 0;
    void run();

    std::thread thread_;
    StopFlag stop_;
    std::atomic<bool> finished_{true};
    bool raisePriority_ = false;
};
