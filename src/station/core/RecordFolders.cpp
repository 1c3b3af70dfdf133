#include "station/core/RecordFolders.h"

#include <filesystem>
#include <system_error>

std::string monthFolderPath(const std::string& baseDir, TDateTime t)
{
    return baseDir + "/" + FormatDateTime("YY'年'MM'月'", t).toStdString();
}

bool ensureFolder(const std::string& path)
{
    std::error_code error;
    std::filesystem::create_directory(path, error);
    return std::filesystem::is_directory(path, error);
}

bool ensureFolderOf(const std::string& filePath)
{
    return ensureFolder(std::filesystem::path(filePath).parent_path().string());
}
