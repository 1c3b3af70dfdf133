#include "station/core/BlockFile.h"

#include <sys/stat.h>

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
