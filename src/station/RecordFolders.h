#pragma once
#include <string>

#include "platform/DateTime.h"

// The month folder under the base directory that holds a period's history
// and alarm-record files and the half-day folders of the device logs.
std::string monthFolderPath(const std::string& baseDir, TDateTime t);

// Creates the folder when it is missing; says whether it is there now.
bool ensureFolder(const std::string& path);
