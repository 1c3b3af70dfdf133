#include "platform/Gbk.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace {

using SkipLength = std::size_t (*)(unsigned char first);

std::size_t utf8CharacterLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

std::size_t oneByte(unsigned char) { return 1; }

// One conversion descriptor per direction and thread: an iconv_t cannot be
// shared between threads, and opening one per call is slow.
class Converter {
public:
    Converter(const char* to, const char* from, SkipLength skip, const char* replacement)
        : cd_(iconv_open(to, from)), skip_(skip), replacement_(replacement)
    {
    }
    ~Converter()
    {
        if (usable())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts all of `in`; a sequence that cannot be converted is dropped
    // and the replacement written in its place.
    QByteArray convert(const QByteArray& in)
    {
        if (!usable() || in.isEmpty())
            return {};
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out_.resize(in.size() * 3 + 16);
        used_ = 0;
        char* src = const_cast<char*>(in.constData());
        std::size_t srcLeft = std::size_t(in.size());
        while (srcLeft > 0) {
            char* dst = out_.data() + used_;
            std::size_t dstLeft = std::size_t(out_.size() - used_);
            const std::size_t result = iconv(cd_, &src, &srcLeft, &dst, &dstLeft);
            used_ = dst - out_.data();
            if (result != static_cast<std::size_t>(-1))
                break;
            if (errno == E2BIG) {
                out_.resize(out_.size() * 2);
                continue;
            }
            // EILSEQ, or EINVAL for a sequence cut off at the end.
            std::size_t n = skip_(static_cast<unsigned char>(*src));
            n = n < srcLeft ? n : srcLeft;
            src += n;
            srcLeft -= n;
            append(replacement_);
        }
        return out_.left(used_);
    }

private:
    bool usable() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    void append(const char* bytes)
    {
        const qsizetype n = qsizetype(std::strlen(bytes));
        if (out_.size() - used_ < n)
            out_.resize(out_.size() * 2 + n);
        std::memcpy(out_.data() + used_, bytes, std::size_t(n));
        used_ += n;
    }

    iconv_t cd_;
    SkipLength skip_;
    const char* replacement_;
    QByteArray out_;
    qsizetype used_ = 0;
};

} // namespace

QByteArray toGbk(const QString& text)
{
    thread_local Converter converter("GBK", "UTF-8", utf8CharacterLength, "?");
    return converter.convert(text.toUtf8());
}

QString fromGbk(const QByteArray& gbk)
{
    thread_local Converter converter("UTF-8", "GBK", oneByte, "\xEF\xBF\xBD");
    return QString::fromUtf8(converter.convert(gbk));
}

QString fromGbkField(const char* field, std::size_t size)
{
    const void* nul = std::memchr(field, 0, size);
    const std::size_t length = nul ? std::size_t(static_cast<const char*>(nul) - field) : size;
    return fromGbk(QByteArray(field, qsizetype(length)));
}

QByteArray gbkCut(const QByteArray& gbk, std::size_t maxBytes)
{
    std::size_t end = 0;
    while (end < std::size_t(gbk.size())) {
        const std::size_t next = end + (isGbkLeadByte(static_cast<unsigned char>(gbk[qsizetype(end)])) ? 2 : 1);
        if (next > maxBytes)
            break;
        end = next;
    }
    return gbk.left(qsizetype(end));
}

void copyToField(char* field, std::size_t size, const QString& text)
{
    if (size == 0)
        return;
    const QByteArray bytes = gbkCut(toGbk(text), size - 1);
    std::memcpy(field, bytes.constData(), std::size_t(bytes.size()));
    field[bytes.size()] = '\0';
}
