#include "support/WorkDir.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <unistd.h>

WorkDir::WorkDir() : previous_(std::filesystem::current_path().string())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "norvik-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
    std::filesystem::current_path(path_);
}

WorkDir::~WorkDir()
{
    std::error_code ignored;
    std::filesystem::current_path(previous_, ignored);
    std::filesystem::remove_all(path_, ignored);
}
