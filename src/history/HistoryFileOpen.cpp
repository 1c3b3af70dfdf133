#include "history/HistoryFileOpen.h"

#include "platform/MessageBox.h"

bool openForReading(HistoryFileReader& file, const std::string& path)
{
    switch (file.open(path)) {
    case HistoryFileReader::Opened::Yes:
        return true;
    case HistoryFileReader::Opened::CannotOpen:
        return false;
    case HistoryFileReader::Opened::NotHistoryFile:
        ShowMessage(QStringLiteral("不是有效的历史数据文件!"));
        return false;
    }
    return false;
}
