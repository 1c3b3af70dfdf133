#pragma once
#include <cstdint>

// A COM port handle slot. "Never opened" and "closed or failed" are states of
// their own, so that no slot can be mistaken for descriptor 0 (standard input).
// Aligned as one 64-bit word: the set-value block shares a handle between
// threads as an atomic, and clang makes an atomic of an under-aligned
// 8-byte struct a call into libatomic instead of one load or store.
class alignas(std::int64_t) PortHandle {
public:
    PortHandle() = default;
    static PortHandle invalid() { return PortHandle(State::Invalid, -1); }
    static PortHandle open(int fd) { return PortHandle(State::Open, fd); }

    bool neverOpened() const { return state_ == State::NeverOpened; }
    bool isInvalid() const { return state_ == State::Invalid; }
    bool isOpen() const { return state_ == State::Open; }
    int fd() const { return fd_; }

    bool operator==(const PortHandle&) const = default;

private:
    enum class State : std::int32_t { NeverOpened, Invalid, Open };
    PortHandle(State state, int fd) : state_(state), fd_(fd) {}

    State state_ = State::NeverOpened;
    int fd_ = -1;
};
