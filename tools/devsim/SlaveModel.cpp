#include "SlaveModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

#include "comm/ModbusCrc.h"

namespace {

constexpr std::uint8_t IllegalFunction = 1;
constexpr std::uint8_t IllegalDataAddress = 2;
constexpr std::uint8_t IllegalDataValue = 3;
constexpr std::uint8_t DeviceFailure = 4;
constexpr std::uint16_t MaxReadCount = 125;

const std::pair<Fault, const char*> faultNames[] = {
    {Fault::None, "none"},       {Fault::Silent, "silent"},       {Fault::BadCrc, "bad-crc"},
    {Fault::Short, "short"},     {Fault::Exception, "exception"}, {Fault::Delay, "delay"},
    {Fault::OtherAddress, "other-address"}, {Fault::OtherFunction, "other-function"},
    {Fault::LateWrite, "late-write"},
};

constexpr std::uint8_t WriteFunction = 6;

std::uint16_t word(const Frame& f, int at)
{
    return std::uint16_t(f[at] << 8 | f[at + 1]);
}

Frame exceptionReply(std::uint8_t address, std::uint8_t function, std::uint8_t code)
{
    return withCrc({address, std::uint8_t(function | 0x80), code});
}

}  // namespace

std::optional<Fault> parseFault(const std::string& name)
{
    for (const auto& [fault, text] : faultNames)
        if (name == text)
            return fault;
    return std::nullopt;
}

const char* faultName(Fault fault)
{
    for (const auto& [f, text] : faultNames)
        if (f == fault)
            return text;
    return "?";
}

Frame withCrc(Frame frame)
{
    const auto crc = ModbusCrc16(frame.data(), std::uint16_t(frame.size()));
    frame.insert(frame.end(), crc.begin(), crc.end());
    return frame;
}

SlaveModel::SlaveModel(std::set<std::uint8_t> addresses, std::vector<std::uint16_t> values)
    : addresses_(std::move(addresses)), values_(std::move(values))
{
}

void SlaveModel::setSwing(unsigned percent, unsigned periodS)
{
    swingPercent_ = percent;
    swingPeriodS_ = std::max(periodS, 1u);
}

void SlaveModel::setSilentCycle(unsigned answerS, unsigned silentS)
{
    answerS_ = answerS;
    silentS_ = silentS;
}

double SlaveModel::elapsedSeconds() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

bool SlaveModel::silentNow() const
{
    if (silentS_ == 0)
        return false;
    const auto second = static_cast<unsigned long long>(elapsedSeconds());
    return second % (answerS_ + silentS_) >= answerS_;
}

std::uint16_t SlaveModel::registerValue(std::uint8_t address, std::uint16_t reg) const
{
    if (auto it = written_.find({address, reg}); it != written_.end())
        return it->second;
    const std::uint16_t value = reg < values_.size() ? values_[reg] : std::uint16_t(100 * address + reg);
    // The set value is a setting, not a measurement: it holds still.
    if (swingPercent_ == 0 || reg == WritableRegister)
        return value;
    const double phase = elapsedSeconds() / swingPeriodS_ + reg / 8.0;
    const double swung = std::int16_t(value) * (1 + swingPercent_ / 100.0 * std::sin(2 * std::numbers::pi * phase));
    return std::uint16_t(std::int16_t(std::clamp(std::lround(swung), -32768L, 32767L)));
}

std::optional<Answer> SlaveModel::answer(const Frame& request)
{
    if (!addresses_.count(request[0]) || fault_ == Fault::Silent || silentNow())
        return std::nullopt;
    Answer answer;
    switch (fault_) {
    case Fault::Exception:
        answer.reply = exceptionReply(request[0], request[1], DeviceFailure);
        break;
    case Fault::BadCrc:
        answer.reply = normalReply(request);
        answer.reply.back() ^= 0xFF;
        break;
    case Fault::Short:
        answer.reply = normalReply(request);
        answer.reply.pop_back();
        break;
    case Fault::OtherAddress:
    case Fault::OtherFunction: {
        // A well-formed reply, but to another request.
        answer.reply = normalReply(request);
        std::uint8_t& changed = answer.reply[fault_ == Fault::OtherAddress ? 0 : 1];
        changed = std::uint8_t(changed + 1);
        AppendModbusCrc(answer.reply.data(), std::uint16_t(answer.reply.size() - 2));
        break;
    }
    case Fault::Delay:
        answer.reply = normalReply(request);
        answer.delayMs = delayMs_;
        break;
    case Fault::LateWrite:
        if (request[1] != WriteFunction) {
            answer.reply = normalReply(request);
            break;
        }
        answer.reply = std::exchange(heldWriteReplies_[request[0]], normalReply(request));
        if (answer.reply.empty())
            return std::nullopt;
        break;
    default:
        answer.reply = normalReply(request);
        break;
    }
    return answer;
}

Frame SlaveModel::normalReply(const Frame& request)
{
    const std::uint8_t address = request[0];
    const std::uint8_t function = request[1];
    const std::uint16_t reg = word(request, 2);
    const std::uint16_t value = word(request, 4);
    switch (function) {
    case 3:
    case 4: {
        if (value == 0 || value > MaxReadCount)
            return exceptionReply(address, function, IllegalDataValue);
        if (reg + value > 0x10000)
            return exceptionReply(address, function, IllegalDataAddress);
        Frame reply{address, function, std::uint8_t(2 * value)};
        for (std::uint16_t i = 0; i < value; ++i) {
            const std::uint16_t v = registerValue(address, std::uint16_t(reg + i));
            reply.push_back(std::uint8_t(v >> 8));
            reply.push_back(std::uint8_t(v & 0xFF));
        }
        return withCrc(reply);
    }
    case WriteFunction:
        if (reg != WritableRegister)
            return exceptionReply(address, function, IllegalDataAddress);
        if (std::int16_t(value) > writeMax_)
            return exceptionReply(address, function, IllegalDataValue);
        written_[{address, reg}] = value;
        return request;
    default:
        return exceptionReply(address, function, IllegalFunction);
    }
}
