#pragma once
#include <sys/resource.h>
#include <sys/types.h>

#include <csignal>

// A disk that fills and frees, for the files this process writes: while it
// is full no file may grow past room bytes, so a write beyond that is cut
// short and fails (EFBIG) as on a full disk (ENOSPC). The stream calls under
// test run unchanged, buffering and all. Full from construction; freed by
// free() or at the end.
class FullDisk {
public:
    explicit FullDisk(off_t room = 0);
    ~FullDisk();
    FullDisk(const FullDisk&) = delete;
    FullDisk& operator=(const FullDisk&) = delete;

    void fill(off_t room = 0);
    void free();

private:
    rlimit saved_{};
    struct sigaction savedSignal_ {};
};
