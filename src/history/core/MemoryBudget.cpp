#include "history/core/MemoryBudget.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <limits>
#include <string>

namespace {

// Kept free for the window, its drawing and the file buffers.
constexpr std::uint64_t Headroom = 64ull << 20;

std::uint64_t meminfoAvailable()
{
    std::ifstream in("/proc/meminfo");
    std::string key;
    std::uint64_t kilobytes = 0;
    std::string unit;
    while (in >> key >> kilobytes >> unit)
        if (key == "MemAvailable:")
            return kilobytes * 1024;
    return std::numeric_limits<std::uint64_t>::max();
}

// What the process's cgroup v2 limit leaves, or no bound without one.
std::uint64_t cgroupRoom()
{
    std::ifstream groups("/proc/self/cgroup");
    std::string line;
    while (std::getline(groups, line)) {
        if (line.rfind("0::", 0) != 0)
            continue;
        const std::string dir = "/sys/fs/cgroup" + line.substr(3);
        std::string limit;
        std::uint64_t current = 0;
        if (!(std::ifstream(dir + "/memory.max") >> limit) || limit == "max"
            || !(std::ifstream(dir + "/memory.current") >> current))
            break;
        std::uint64_t max = 0;
        if (std::from_chars(limit.data(), limit.data() + limit.size(), max).ec != std::errc())
            break;
        return max > current ? max - current : 0;
    }
    return std::numeric_limits<std::uint64_t>::max();
}

} // namespace

std::uint64_t availableMemory()
{
    return std::min(meminfoAvailable(), cgroupRoom());
}

bool fitsInMemory(std::uint64_t bytes, std::uint64_t releasable)
{
    const std::uint64_t room = availableMemory();
    const std::uint64_t free = room > std::numeric_limits<std::uint64_t>::max() - releasable ? room : room + releasable;
    return bytes <= free && free - bytes >= Headroom;
}
