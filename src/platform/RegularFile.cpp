#include "platform/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Asked of what was opened, not of the name, which may name something else
// by then.
bool isRegularFile(int fd, bool& notRegular)
{
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return false;
    notRegular = !S_ISREG(info.st_mode);
    return !notRegular;
}

// Blocking again once the file is known to be regular, where it costs nothing.
bool blocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

} // namespace

std::FILE* openRegularFile(const QString& path, bool& notRegular)
{
    notRegular = false;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    std::FILE* file = isRegularFile(fd, notRegular) && blocking(fd) ? ::fdopen(fd, "rb") : nullptr;
    if (!file)
        ::close(fd);
    return file;
}

std::FILE* openRegularFile(const QString& path)
{
    bool notRegular;
    return openRegularFile(path, notRegular);
}
