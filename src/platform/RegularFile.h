#pragma once
#include <QString>

#include <cstdio>

// Opens path for reading ("rb") only when it names a regular file. A FIFO
// without a writer would hold the opening, or the first read, for good; so
// would some devices. Anything but a regular file gives nullptr, as a
// missing file does.
std::FILE* openRegularFile(const QString& path);
// The same, telling the two apart: notRegular is set when path opened but
// names something other than a regular file.
std::FILE* openRegularFile(const QString& path, bool& notRegular);
