#include "comm/CommThread.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

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
    stop_.raise();
}

void CommThread::terminateAndWait()
{
    terminate();
    if (thread_.joinable())
        thread_.join();
}

void CommThread::run()
{
    stop_.makeCurrent();
    if (raisePriority_)
        raiseOwnPriority();
    execute();
    finished_.store(true);
}
