#pragma once
// Whole-file reads and writes for checking files byte for byte, and
// values put into a file image at the offsets of their fields.
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <type_traits>

inline std::string readFileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeFileBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// Writes value's bytes over bytes at offset, as the programs store it on disk.
template <typename T>
void put(std::string& bytes, std::size_t offset, const T& value)
{
    static_assert(std::is_trivially_copyable_v<T>, "only a value's own bytes can go into a file");
    if (offset > bytes.size() || bytes.size() - offset < sizeof value)
        throw std::out_of_range("put beyond the end of the bytes");
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}
