#include "support/FullDisk.h"

#include <stdexcept>

FullDisk::FullDisk(off_t room)
{
    // A write past the limit raises SIGXFSZ, which would end the process.
    struct sigaction ignore{};
    ignore.sa_handler = SIG_IGN;
    if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0 || ::sigaction(SIGXFSZ, &ignore, &savedSignal_) != 0)
        throw std::runtime_error("cannot limit file sizes");
    fill(room);
}

FullDisk::~FullDisk()
{
    free();
    ::sigaction(SIGXFSZ, &savedSignal_, nullptr);
}

void FullDisk::fill(off_t room)
{
    const rlimit full{rlim_t(room), saved_.rlim_max};
    if (::setrlimit(RLIMIT_FSIZE, &full) != 0)
        throw std::runtime_error("cannot limit file sizes");
}

void FullDisk::free()
{
    ::setrlimit(RLIMIT_FSIZE, &saved_);
}
