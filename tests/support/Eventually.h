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
