#pragma once
#include <cstdint>

// Bytes the machine can still give this process: the kernel's estimate of
// available memory, and no more than its control group's limit leaves.
std::uint64_t availableMemory();

// Whether taking bytes more leaves room for the rest of the program, counting
// releasable bytes that are given back before they are taken.
bool fitsInMemory(std::uint64_t bytes, std::uint64_t releasable);
