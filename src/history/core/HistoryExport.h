#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "history/core/HistoryFileReader.h"
#include "platform/DateTime.h"

// The records an export takes: lines stamped from start, each a step of
// skip + 1 intervals after the one before, none stamped later than end.
struct ExportRange {
    TDateTime start;
    TDateTime end;
    std::int32_t skip;  // records left out after each one exported, 0 or more
};

// Places the file at the first record an export from start takes: the first
// whose time, counted from fileStart, is not before start.
bool seekFirstExportRecord(HistoryFileReader& file, TDateTime fileStart, TDateTime start);

enum class ExportResult { Done, CannotCreate, WriteFailed };

// Writes the export file at path, replacing what it held: a heading line of
// the shown channels' names as the header has them, then a line per record
// from the file's position on, until a stamp would pass range.end or no
// whole record is left. GBK text, every field followed by a TAB, every line
// ended by CR LF and written at once. onLine runs after each data line.
// A failed write ends the export. The history file itself is never taken
// as the export file.
ExportResult writeHistoryExport(HistoryFileReader& file, const std::string& path, const ExportRange& range,
                                const std::uint8_t (&shown)[MaxShownChannels], const std::function<void()>& onLine);
