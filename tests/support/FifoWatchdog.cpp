#include "support/FifoWatchdog.h"

#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

FifoWatchdog::FifoWatchdog(const std::string& path, Opener opener, std::chrono::seconds limit)
    : path_(path), opener_(opener)
{
    if (mkfifo(path.c_str(), 0666) != 0)
        throw std::runtime_error("cannot make the FIFO " + path);
    thread_ = std::thread([this, limit] { watch(limit); });
}

FifoWatchdog::~FifoWatchdog()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopped_.notify_all();
    thread_.join();
    if (held_ >= 0)
        close(held_);
}

bool FifoWatchdog::released() const
{
    std::lock_guard lock(mutex_);
    return released_;
}

void FifoWatchdog::watch(std::chrono::seconds limit)
{
    std::unique_lock lock(mutex_);
    if (stopped_.wait_for(lock, limit, [this] { return stopping_; }))
        return;
    // A waiting reader is given a writer that leaves at once: it reads the
    // end of the file. A waiting writer is given a reader that stays, so that
    // what it writes finds room.
    const int mode = opener_ == Opener::Reader ? O_WRONLY : O_RDONLY;
    while (!stopping_) {
        const int end = open(path_.c_str(), mode | O_NONBLOCK | O_CLOEXEC);
        if (end >= 0) {
            released_ = true;
            if (opener_ == Opener::Reader)
                close(end);
            else
                held_ = end;
            return;
        }
        // No reader waits yet: a writer cannot open without one.
        stopped_.wait_for(lock, std::chrono::milliseconds(10), [this] { return stopping_; });
    }
}
