#pragma once
#include <QString>
#include <cstddef>
#include <string>

#include "history/core/HistoryFileReader.h"

// "DevName.dat": one alias of 80 bytes per channel position, GBK, NUL-ended,
// shared by every history file (record i names channel i of whichever file
// is open). No header; the file is exactly the table.
constexpr std::size_t ChannelAliasSize = 80;
constexpr std::size_t ChannelAliasFileSize = ChannelAliasSize * MaxShownChannels;

struct ChannelAlias {
    char Text[ChannelAliasSize];
};
static_assert(sizeof(ChannelAlias) == ChannelAliasSize);

class ChannelAliasTable {
public:
    // The alias of channel i, at most 79 bytes up to the first NUL and ending
    // on a whole character; the 80th byte is never read. Empty for a record
    // of zeros.
    QString text(int channel) const;
    // The text's bytes, cut at 79 on a character boundary, then zeros to the
    // end of the record.
    void setText(int channel, const QString& text);

    // Reads the file whole, as much of the table as it holds; one that cannot
    // be opened is created as a table of zeros. False when neither works: the
    // table then stays as it was.
    bool loadOrCreate(const std::string& path);
    // Writes the whole table over the file from offset 0. False when the file
    // cannot be opened for it or the write fails.
    bool save(const std::string& path) const;

    ChannelAlias Records[MaxShownChannels] = {};

private:
    bool writeWhole(const std::string& path, const char* mode) const;
};
