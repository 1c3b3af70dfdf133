#include "platform/IniFile.h"

#include <QFile>
#include <QSaveFile>

#include <optional>
#include <vector>

#include "platform/Conversions.h"
#include "platform/Gbk.h"

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

QByteArray trimBlanks(const QByteArray& bytes)
{
    qsizetype begin = 0, end = bytes.size();
    while (begin < end && isBlank(bytes[begin]))
        ++begin;
    while (end > begin && isBlank(bytes[end - 1]))
        --end;
    return bytes.mid(begin, end - begin);
}

bool sameName(const QByteArray& a, const QByteArray& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// One line of the file: where it starts, where its text ends (before CR LF)
// and where the next line starts.
struct Line {
    qsizetype begin, textEnd, next;
};

// The file's bytes cut into lines, with the sense of each.
class Document {
public:
    explicit Document(QByteArray bytes) : bytes_(std::move(bytes))
    {
        qsizetype begin = 0;
        while (begin < bytes_.size()) {
            qsizetype lf = bytes_.indexOf('\n', begin);
            const qsizetype next = lf < 0 ? bytes_.size() : lf + 1;
            qsizetype textEnd = lf < 0 ? bytes_.size() : lf;
            if (textEnd > begin && bytes_[textEnd - 1] == '\r')
                --textEnd;
            lines_.push_back({begin, textEnd, next});
            begin = next;
        }
    }

    const QByteArray& bytes() const { return bytes_; }
    std::size_t lineCount() const { return lines_.size(); }
    const Line& line(std::size_t i) const { return lines_[i]; }
    QByteArray text(std::size_t i) const
    {
        return trimBlanks(bytes_.mid(lines_[i].begin, lines_[i].textEnd - lines_[i].begin));
    }

    // The section name of a "[name]" line.
    std::optional<QByteArray> sectionName(std::size_t i) const
    {
        const QByteArray t = text(i);
        if (!t.startsWith('['))
            return std::nullopt;
        // Walk by characters: a GBK trail byte may equal ']'.
        for (qsizetype j = 1; j < t.size(); ++j) {
            const auto c = static_cast<unsigned char>(t[j]);
            if (c == ']')
                return trimBlanks(t.mid(1, j - 1));
            if (isGbkLeadByte(c))
                ++j;
        }
        return std::nullopt;
    }

    // The key and raw value of a "key=value" line.
    std::optional<std::pair<QByteArray, QByteArray>> entry(std::size_t i) const
    {
        const QByteArray t = text(i);
        if (t.startsWith(';') || t.startsWith('['))
            return std::nullopt;
        const qsizetype eq = t.indexOf('=');
        if (eq < 0)
            return std::nullopt;
        return std::make_pair(trimBlanks(t.left(eq)), trimBlanks(t.mid(eq + 1)));
    }

    // The first section of that name: the index of its heading line.
    std::optional<std::size_t> findSection(const QByteArray& name) const
    {
        for (std::size_t i = 0; i < lines_.size(); ++i)
            if (auto s = sectionName(i); s && sameName(*s, name))
                return i;
        return std::nullopt;
    }

    // The line after the section's last line, i.e. the next heading or the end.
    std::size_t sectionEnd(std::size_t heading) const
    {
        std::size_t i = heading + 1;
        while (i < lines_.size() && !sectionName(i))
            ++i;
        return i;
    }

    std::optional<std::size_t> findKey(std::size_t heading, const QByteArray& key) const
    {
        const std::size_t end = sectionEnd(heading);
        for (std::size_t i = heading + 1; i < end; ++i)
            if (auto e = entry(i); e && sameName(e->first, key))
                return i;
        return std::nullopt;
    }

private:
    QByteArray bytes_;
    std::vector<Line> lines_;
};

// The file's bytes, none when it is missing; nothing when it exists but
// cannot be read, so that a write does not replace what it never saw.
std::optional<QByteArray> readAll(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly))
        return file.readAll();
    if (file.exists())
        return std::nullopt;
    return QByteArray();
}

QByteArray withoutEnclosingQuotes(const QByteArray& value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.mid(1, value.size() - 2);
    return value;
}

QByteArray oneLine(QByteArray value)
{
    value.replace('\r', ' ').replace('\n', ' ');
    return value;
}

} // namespace

IniFileError::IniFileError(const QString& path)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString())
{
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& fallback) const
{
    const Document doc(readAll(path_).value_or(QByteArray()));
    const auto heading = doc.findSection(toGbk(section));
    if (!heading)
        return fallback;
    const auto line = doc.findKey(*heading, toGbk(key));
    if (!line)
        return fallback;
    return fromGbk(gbkCut(withoutEnclosingQuotes(doc.entry(*line)->second), MaxValueBytes));
}

int IniFile::ReadInteger(const QString& section, const QString& key, int fallback) const
{
    return StrToIntDef(ReadString(section, key, QString()), fallback);
}

bool IniFile::ReadBool(const QString& section, const QString& key, bool fallback) const
{
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) const
{
    const QByteArray sectionBytes = oneLine(toGbk(section));
    const QByteArray keyBytes = oneLine(toGbk(key));
    const QByteArray entryLine = keyBytes + '=' + oneLine(toGbk(value));
    const std::optional<QByteArray> bytes = readAll(path_);
    if (!bytes)
        throw IniFileError(path_);
    const Document doc(*bytes);
    QByteArray out = doc.bytes();

    const auto heading = doc.findSection(sectionBytes);
    if (!heading) {
        if (!out.isEmpty() && !out.endsWith('\n'))
            out += "\r\n";
        out += '[' + sectionBytes + "]\r\n" + entryLine + "\r\n";
    } else if (const auto line = doc.findKey(*heading, keyBytes)) {
        const Line& l = doc.line(*line);
        out.replace(l.begin, l.textEnd - l.begin, entryLine);
    } else {
        // After the section's last non-empty line, before blank lines that
        // separate it from the next section.
        std::size_t last = *heading;
        const std::size_t end = doc.sectionEnd(*heading);
        for (std::size_t i = *heading + 1; i < end; ++i)
            if (!doc.text(i).isEmpty())
                last = i;
        const Line& l = doc.line(last);
        if (l.next == l.textEnd)  // last line of the file, without a line end
            out.insert(l.textEnd, "\r\n" + entryLine);
        else
            out.insert(l.next, entryLine + "\r\n");
    }

    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit())
        throw IniFileError(path_);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) const
{
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString& section, const QString& key, bool value) const
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
