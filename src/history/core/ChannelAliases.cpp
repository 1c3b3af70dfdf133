#include "history/core/ChannelAliases.h"

#include <cstdio>
#include <cstring>

#include "platform/Gbk.h"

QString ChannelAliasTable::text(int channel) const
{
    const char* record = Records[channel].Text;
    constexpr std::size_t aliasBytes = ChannelAliasSize - 1;
    // A character led by the last alias byte has its trail outside the alias.
    const QByteArray alias(record, qsizetype(strnlen(record, aliasBytes)));
    return fromGbk(gbkCut(alias, aliasBytes));
}

void ChannelAliasTable::setText(int channel, const QString& text)
{
    std::memset(Records[channel].Text, 0, ChannelAliasSize);
    copyToField(Records[channel].Text, text);
}

bool ChannelAliasTable::loadOrCreate(const std::string& path)
{
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fread(Records, 1, ChannelAliasFileSize, file);
        std::fclose(file);
        return true;
    }
    return writeWhole(path, "w+b");
}

bool ChannelAliasTable::save(const std::string& path) const
{
    return writeWhole(path, "r+b");
}

bool ChannelAliasTable::writeWhole(const std::string& path, const char* mode) const
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        return false;
    const bool written = std::fwrite(Records, ChannelAliasFileSize, 1, file) == 1;
    return std::fclose(file) == 0 && written;
}
