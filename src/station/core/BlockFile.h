#pragma once
#include <sys/types.h>

#include <cstddef>
#include <cstdio>
#include <string>

// Data files written a fixed-size block at a time. Each block goes to the
// file in one write call and counts only once it is on the file, so a full
// disk, which refuses a write or cuts it short, loses no block unnoticed.

// The file opened as fopen opens it, but unbuffered: no block waits in a
// buffer for a later seek or close that may fail to write it.
std::FILE* openBlockFile(const std::string& path, const char* mode);

// Writes the block at offset in one write. True when it was written and
// flushed without error and the file now reaches at least to its end.
bool writeBlock(std::FILE* file, off_t offset, const void* bytes, std::size_t size);

// Puts a file under path that holds head (its first bytes) whole, in place
// of any file of that name: the head is written to an unfinished file in the
// same folder, put on the disk and then renamed over the name, so the name
// shows the earlier file or the whole head, never a cut one. The unfinished
// file's name ends in neither ".nx" nor ".xls", and each try takes over what
// a try cut short by a kill left, so such leftovers never pile up. True when
// the file is under its name.
bool createWithHead(const std::string& path, const void* head, std::size_t size);
