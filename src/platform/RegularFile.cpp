#include "platform/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Blocking again once the file is known to be regular, where it costs nothing.
bool isRegularFile(int fd)
{
    struct stat info;
    const int flags = ::fcntl(fd, F_GETFL);
    return ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flags >= 0
        && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

} // namespace

std::FILE* openRegularFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::FILE* file = isRegularFile(fd) ? ::fdopen(fd, "rb") : nullptr;
    if (!file)
        ::close(fd);
    return file;
}
