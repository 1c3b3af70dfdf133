#pragma once
#include <string>

#include "history/core/HistoryFileReader.h"

// Opens a history file for one load or export. A file that is no history
// file is refused with a message; one that cannot be opened, silently.
bool openForReading(HistoryFileReader& file, const std::string& path);
