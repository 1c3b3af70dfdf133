#include "GsmModule.h"

#include <poll.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/Gbk.h"

namespace {

// The station writes a whole message at once and at most one a second.
constexpr auto MessageGap = std::chrono::milliseconds(200);

std::string localTimeText(std::chrono::system_clock::time_point t)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(t);
    const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count() % 1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[40];
    const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03d", int(millis));
    return text;
}

// One line whatever the text holds.
std::string escaped(const std::string& utf8)
{
    std::string line;
    for (const char c : utf8) {
        switch (c) {
        case '\r': line += "\\r"; break;
        case '\n': line += "\\n"; break;
        case '\t': line += "\\t"; break;
        case '\\': line += "\\\\"; break;
        default:
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
                char hex[5];
                std::snprintf(hex, sizeof hex, "\\x%02X", static_cast<unsigned char>(c));
                line += hex;
            } else {
                line += c;
            }
        }
    }
    return line;
}

}  // namespace

GsmModule::~GsmModule()
{
    if (raw_)
        std::fclose(raw_);
    if (pty_.master >= 0)
        ::close(pty_.master);
    if (pty_.slave >= 0)
        ::close(pty_.slave);
    if (!link_.empty())
        ::unlink(link_.c_str());
}

bool GsmModule::servePty(const std::string& link)
{
    if (!rawPath_.empty() && !(raw_ = std::fopen(rawPath_.c_str(), "wb"))) {
        std::perror(("devsim: " + rawPath_).c_str());
        return false;
    }
    if (!openLinkedPty(link, pty_))
        return false;
    link_ = link;
    say("ready " + pty_.slavePath);
    run();
    return true;
}

void GsmModule::run()
{
    installStopHandlers();
    while (!stopRequested()) {
        pollfd line{pty_.master, POLLIN, 0};
        const int n = ::poll(&line, 1, pollTimeoutMs());
        if (n < 0 && errno != EINTR)
            break;
        if (n > 0)
            readLine();
        if (!message_.empty() && std::chrono::steady_clock::now() - lastByte_ >= MessageGap)
            finishMessage();
    }
    if (!message_.empty())
        finishMessage();
}

int GsmModule::pollTimeoutMs() const
{
    if (message_.empty())
        return 100;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(lastByte_ + MessageGap - std::chrono::steady_clock::now());
    return int(std::clamp<long long>(left.count(), 0, 100));
}

void GsmModule::readLine()
{
    char bytes[512];
    const ssize_t n = ::read(pty_.master, bytes, sizeof bytes);
    if (n <= 0)
        return;
    if (message_.empty())
        firstByte_ = std::chrono::system_clock::now();
    lastByte_ = std::chrono::steady_clock::now();
    message_.append(bytes, std::size_t(n));
    if (raw_) {
        std::fwrite(bytes, 1, std::size_t(n), raw_);
        std::fflush(raw_);
    }
}

void GsmModule::finishMessage()
{
    const QString text = fromGbk(QByteArray(message_.data(), qsizetype(message_.size())));
    say("message " + localTimeText(firstByte_) + " " + escaped(text.toStdString()));
    message_.clear();
}
