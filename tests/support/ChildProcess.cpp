#include "support/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>

ChildProcess::ChildProcess(const std::vector<std::string>& argv)
{
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<char*> args;
    for (const auto& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0)
        throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    ::close(in[0]);
    ::close(out[1]);
    stdinFd_ = in[1];
    stdoutFd_ = out[0];
    reader_ = std::thread([this] { readOutput(); });
}

ChildProcess::~ChildProcess()
{
    if (!waitStatus()) {
        ::kill(pid_, SIGTERM);
        for (int i = 0; i < 200 && !waitStatus(); ++i)
            ::usleep(10'000);
    }
    if (!waitStatus()) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    ::close(stdinFd_);
    reader_.join();
    ::close(stdoutFd_);
}

void ChildProcess::writeLine(const std::string& line)
{
    const std::string text = line + "\n";
    [[maybe_unused]] ssize_t n = ::write(stdinFd_, text.data(), text.size());
}

void ChildProcess::signal(int sig)
{
    if (!status_)
        ::kill(pid_, sig);
}

std::optional<int> ChildProcess::waitStatus()
{
    int status = 0;
    if (!status_ && ::waitpid(pid_, &status, WNOHANG) == pid_)
        status_ = status;
    return status_;
}

std::vector<ChildProcess::Line> ChildProcess::lines() const
{
    std::lock_guard lock(mutex_);
    return lines_;
}

bool ChildProcess::waitFor(const std::function<bool(const std::vector<Line>&)>& done,
                           std::chrono::milliseconds timeout) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return done(lines_) || closed_; }) && done(lines_);
}

std::string ChildProcess::waitForLineStarting(const std::string& prefix, std::chrono::milliseconds timeout) const
{
    std::string found;
    waitFor(
        [&](const std::vector<Line>& lines) {
            for (const Line& line : lines)
                if (line.text.rfind(prefix, 0) == 0) {
                    found = line.text;
                    return true;
                }
            return false;
        },
        timeout);
    return found;
}

void ChildProcess::readOutput()
{
    std::string pending;
    char bytes[1024];
    for (;;) {
        const ssize_t n = ::read(stdoutFd_, bytes, sizeof bytes);
        if (n <= 0)
            break;
        pending.append(bytes, std::size_t(n));
        std::lock_guard lock(mutex_);
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            lines_.push_back({pending.substr(0, end), Clock::now()});
            pending.erase(0, end + 1);
        }
        changed_.notify_all();
    }
    std::lock_guard lock(mutex_);
    closed_ = true;
    changed_.notify_all();
}
