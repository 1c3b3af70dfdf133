#pragma once
#include <QByteArray>
#include <QString>

#include <stdexcept>

// A settings file in the Windows INI layout, on GBK bytes: "[section]" lines
// followed by "key=value" lines. Section and key names match without regard
// to case. Every call reads or rewrites the file, one key at a time; a
// missing file, section or key reads as the default given.
class IniFile {
public:
    explicit IniFile(QString path) : path_(std::move(path)) {}

    // The text after "=", blanks around it and one pair of enclosing quotes
    // removed, at most MaxValueBytes bytes of it.
    QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
    // Decimal, or hexadecimal after "0x" or "$"; any other text gives the default.
    int ReadInteger(const QString& section, const QString& key, int fallback) const;
    // An integer other than 0 is true; a missing or non-numeric value gives the default.
    bool ReadBool(const QString& section, const QString& key, bool fallback) const;

    // Replaces the key's line, or adds the key at the end of its section, or
    // the section at the end of the file, creating the file when needed; all
    // other bytes of the file stay as they are. A value is one line, so a
    // line break in it is written as a blank. Throws IniFileError when the
    // file cannot be written, or exists but cannot be read.
    void WriteString(const QString& section, const QString& key, const QString& value) const;
    void WriteInteger(const QString& section, const QString& key, int value) const;
    // Written as "1" or "0".
    void WriteBool(const QString& section, const QString& key, bool value) const;

    const QString& path() const { return path_; }

    static constexpr int MaxValueBytes = 2047;

private:
    QString path_;
};

class IniFileError : public std::runtime_error {
public:
    explicit IniFileError(const QString& path);
};
