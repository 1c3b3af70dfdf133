#pragma once
#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstring>
#include <string_view>

// The station's texts in files and records are GBK (code page 936).

// A character GBK cannot hold becomes '?'.
QByteArray toGbk(const QString& text);
// A byte sequence that is not GBK becomes U+FFFD.
QString fromGbk(const QByteArray& gbk);
// The text of a fixed byte field: up to its first NUL, never past its size.
QString fromGbkField(const char* field, std::size_t size);

// The first byte of a two-byte GBK character; its trail byte may look like ASCII.
constexpr bool isGbkLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// The longest start of a GBK text that is at most maxBytes long and ends on
// a character boundary.
QByteArray gbkCut(const QByteArray& gbk, std::size_t maxBytes);

// Stores text into a NUL-terminated field of `size` bytes: at most size-1
// bytes of GBK, cut on a character boundary, then a NUL. The bytes after the
// NUL keep what they held.
void copyToField(char* field, std::size_t size, const QString& text);

template <std::size_t N>
void copyToField(char (&field)[N], const QString& text) { copyToField(field, N, text); }

template <std::size_t N>
QString fromGbkField(const char (&field)[N]) { return fromGbkField(field, N); }

// A fixed field's bytes up to its NUL, never past the field, unconverted.
template <std::size_t N>
std::string_view fieldBytes(const char (&field)[N]) { return {field, strnlen(field, N)}; }
