#pragma once
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

// How the simulated instrument misbehaves.
enum class Fault { None, Silent, BadCrc, Short, Exception, Delay, OtherAddress, OtherFunction, LateWrite };

std::optional<Fault> parseFault(const std::string& name);
const char* faultName(Fault fault);

using Frame = std::vector<std::uint8_t>;

struct Answer {
    Frame reply;
    unsigned delayMs = 0;
};

// The Modbus RTU slaves on one line: functions 3 and 4 read the register
// table, function 6 writes register 31, anything else gets an exception.
class SlaveModel {
public:
    static constexpr std::uint16_t WritableRegister = 31;

    SlaveModel(std::set<std::uint8_t> addresses, std::vector<std::uint16_t> values);

    void setFault(Fault fault) { fault_ = fault; }
    Fault fault() const { return fault_; }
    void setDelayMs(unsigned ms) { delayMs_ = ms; }
    // Writes of a value above this get an exception reply and change nothing.
    void setWriteMax(std::int16_t value) { writeMax_ = value; }
    // Read registers but the writable one swing by up to percent of their
    // value around it, as a sine of the period given, register r lagging r/8
    // of a period behind register 0. Times count from the model's creation.
    void setSwing(unsigned percent, unsigned periodS);
    // Answers for answerS seconds, then is silent for silentS, and so on.
    void setSilentCycle(unsigned answerS, unsigned silentS);

    // Register r of slave a: the value written to it, else values[r] when
    // given, else 100 * a + r; as a signed 16-bit value it swings when asked to
    // (the writable register never does).
    std::uint16_t registerValue(std::uint8_t address, std::uint16_t reg) const;

    // The reply to one 8-byte request with a good CRC, shaped by the fault;
    // nothing when the request is for another slave or the line is silent.
    // A late write's reply is the one held back from the slave's write before.
    std::optional<Answer> answer(const Frame& request);

private:
    Frame normalReply(const Frame& request);
    double elapsedSeconds() const;
    bool silentNow() const;

    std::set<std::uint8_t> addresses_;
    std::vector<std::uint16_t> values_;
    std::map<std::pair<std::uint8_t, std::uint16_t>, std::uint16_t> written_;
    Fault fault_ = Fault::None;
    unsigned delayMs_ = 500;
    std::int16_t writeMax_ = INT16_MAX;
    std::map<std::uint8_t, Frame> heldWriteReplies_;  // by slave
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    unsigned swingPercent_ = 0;
    unsigned swingPeriodS_ = 1;
    unsigned answerS_ = 0;
    unsigned silentS_ = 0;
};

// Frame with its CRC appended.
Frame withCrc(Frame frame);
