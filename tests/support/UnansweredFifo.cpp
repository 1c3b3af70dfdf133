#include "support/UnansweredFifo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <stdexcept>

UnansweredFifo::UnansweredFifo(std::string path, std::chrono::seconds limit) : path_(std::move(path))
{
    if (::mkfifo(path_.c_str(), 0644) != 0)
        throw std::runtime_error("cannot make the FIFO " + path_);
    watchdog_ = std::thread(&UnansweredFifo::watch, this, limit);
}

UnansweredFifo::~UnansweredFifo()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    stop_.notify_one();
    watchdog_.join();
}

// Opening for writing without blocking succeeds only while a reader has
// the FIFO open (or waits in its opening), so nobody else is disturbed.
void UnansweredFifo::watch(std::chrono::seconds limit)
{
    std::unique_lock<std::mutex> lock(mutex_);
    if (stop_.wait_for(lock, limit, [this] { return stopping_; }))
        return;
    do {
        const int fd = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0) {
            rescued_ = true;
            ::close(fd);
        }
    } while (!stop_.wait_for(lock, std::chrono::milliseconds(50), [this] { return stopping_; }));
}
