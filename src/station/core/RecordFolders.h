#pragma once
#include <string>

#include "platform/DateTime.h"

// The month folder under the base directory that holds a period's history
// and alarm-record files and the half-day folders of the device logs.
std::string monthFolderPath(const std::string& baseDir, TDateTime t);

// Creates the folder when it is missing; says whether it is there now.
bool ensureFolder(const std::string& path);
// The same for the folder a file lies in: one a full disk refused at the
// start of a period is made as soon as the disk takes writes again.
bool ensureFolderOf(const std::string& filePath);
