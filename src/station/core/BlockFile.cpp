#include "station/core/BlockFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace {

// One per folder, hidden, so that no listing of history or alarm-record
// files shows it.
std::string unfinishedPathFor(const std::string& path)
{
    return (std::filesystem::path(path).parent_path() / ".unfinished.part").string();
}

bool writeUnfinished(const std::string& unfinished, const void* head, std::size_t size)
{
    // Whatever a killed try left, a FIFO included, goes first; "x" then
    // makes a file of our own.
    std::remove(unfinished.c_str());
    std::FILE* file = openBlockFile(unfinished, "wbx");
    if (!file)
        return false;
    // On the disk before it has the name: after a crash the name then holds
    // the whole head or what it held before, and needs no flush of its own.
    const bool written = writeBlock(file, 0, head, size) && ::fsync(fileno(file)) == 0;
    return std::fclose(file) == 0 && written;
}

} // namespace

std::FILE* openBlockFile(const std::string& path, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file && std::setvbuf(file, nullptr, _IONBF, 0) != 0) {
        std::fclose(file);
        return nullptr;
    }
    return file;
}

bool writeBlock(std::FILE* file, off_t offset, const void* bytes, std::size_t size)
{
    if (fseeko(file, offset, SEEK_SET) != 0)
        return false;
    if (size > 0 && std::fwrite(bytes, size, 1, file) != 1)
        return false;
    struct stat info;
    return std::fflush(file) == 0 && ::fstat(fileno(file), &info) == 0
        && info.st_size >= offset + static_cast<off_t>(size);
}

bool createWithHead(const std::string& path, const void* head, std::size_t size)
{
    const std::string unfinished = unfinishedPathFor(path);
    const bool made = writeUnfinished(unfinished, head, size) && std::rename(unfinished.c_str(), path.c_str()) == 0;
    if (!made)
        std::remove(unfinished.c_str());
    return made;
}
