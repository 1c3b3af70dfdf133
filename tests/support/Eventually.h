#pragma once
#include <chrono>
#include <functional>
#include <thread>

// Asks done() again and again, a pause apart, until it says yes (true) or
// the time-out has passed (false): for what another thread or process does.
inline bool eventually(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10),
                       std::chrono::milliseconds pause = std::chrono::milliseconds(10))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(pause);
    }
    return true;
}

// Asks still() again and again, a pause apart, over the whole window: true
// when it said yes every time. For what another thread or process must not
// do, once a sign has shown that it runs and is watched.
inline bool holdsFor(const std::function<bool()>& still, std::chrono::milliseconds window,
                     std::chrono::milliseconds pause = std::chrono::milliseconds(10))
{
    const auto end = std::chrono::steady_clock::now() + window;
    while (std::chrono::steady_clock::now() < end) {
        if (!still())
            return false;
        std::this_thread::sleep_for(pause);
    }
    return still();
}
