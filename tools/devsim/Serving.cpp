#include "Serving.h"

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace {

volatile std::sig_atomic_t stopSignalled = 0;

void onStopSignal(int)
{
    stopSignalled = 1;
}

}  // namespace

bool openLinkedPty(const std::string& link, LinkedPty& pty)
{
    termios raw{};
    ::cfmakeraw(&raw);
    char slaveName[256];
    if (::openpty(&pty.master, &pty.slave, slaveName, &raw, nullptr) != 0) {
        std::perror("devsim: openpty");
        return false;
    }
    ::unlink(link.c_str());
    if (::symlink(slaveName, link.c_str()) != 0) {
        std::perror("devsim: symlink");
        ::close(pty.master);
        ::close(pty.slave);
        pty = LinkedPty{};
        return false;
    }
    pty.slavePath = slaveName;
    return true;
}

void installStopHandlers()
{
    struct sigaction action{};
    action.sa_handler = onStopSignal;  // no SA_RESTART: poll() wakes up
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

bool stopRequested()
{
    return stopSignalled != 0;
}

void say(const std::string& line)
{
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}
