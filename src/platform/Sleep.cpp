#include "platform/Sleep.h"

#include <chrono>
#include <thread>

namespace {

thread_local StopFlag* currentStopFlag = nullptr;

}  // namespace

void Sleep(unsigned milliseconds)
{
    if (currentStopFlag)
        currentStopFlag->wait(milliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void StopFlag::raise()
{
    {
        std::lock_guard lock(mutex_);
        raised_.store(true);
    }
    raisedEvent_.notify_all();
}

bool StopFlag::wait(unsigned milliseconds)
{
    std::unique_lock lock(mutex_);
    return raisedEvent_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return raised(); });
}

void StopFlag::makeCurrent()
{
    currentStopFlag = this;
}

bool StopRequested()
{
    return currentStopFlag && currentStopFlag->raised();
}
