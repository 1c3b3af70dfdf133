#include "comm/CommThread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace {

void raiseOwnPriority()
{
    const pid_t self = ::gettid();
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, id_t(self));
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, id_t(self), nice - 1);
}

}  // namespace

CommThread::~CommThread()
{
    terminateAndWait();
}

void CommThread::resume()
{
    if (thread_.joinable())
        return;
    finished_.store(false);
    thread_ = std::thread([this] { run(); });
}

void CommThread::terminate()
{
    {
        std::lock_guard lock(pauseMutex_);
        terminated_.store(true);
    }
    pauseEnded_.notify_all();
}

void CommThread::pause(unsigned milliseconds)
{
    std::unique_lock lock(pauseMutex_);
    pauseEnded_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return terminated(); });
}

void CommThread::terminateAndWait()
{
    terminate();
    if (thread_.joinable())
        thread_.join();
}

void CommThread::run()
{
    if (raisePriority_)
        raiseOwnPriority();
    execute();
    finished_.store(true);
}
