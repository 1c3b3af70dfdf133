#pragma once
#include <atomic>
#include <cstdint>

#include "platform/PortHandle.h"
#include "shared/Relaxed.h"

// A set-value read or write crosses from the screen to a polling thread
// here; only the thread that owns the device's port may talk to the line.
// The release store of SvRequest publishes the fields written before it
// (post, finish) and the acquire load sees them (pending), so the other
// fields need no ordering of their own.
struct SetValueRequest {
    enum : std::uint8_t { None = 0, Read = 1, Write = 2 };
    // Beside the kind: a thread serves the request right now; and, once the
    // screen has stopped waiting for it, abandoned. Only the serving thread
    // clears such a request, and no new one is posted before it has.
    static constexpr std::uint8_t InService = 0x40;
    static constexpr std::uint8_t Abandoned = 0x80;

    std::atomic<std::uint8_t> SvRequest{None};
    Relaxed<PortHandle> SvPortHandle;
    Relaxed<std::uint8_t> SvMeterAddr;
    Relaxed<std::int16_t> SvValue;
    Relaxed<std::uint8_t> SvDecimals;
    Relaxed<std::int32_t> SvMeterIndex;
    Relaxed<std::uint8_t> SvSuccess;

    // The request's state: None, or its kind with the flags above.
    std::uint8_t pending() const { return SvRequest.load(std::memory_order_acquire); }
    void post(std::uint8_t kind) { SvRequest.store(kind, std::memory_order_release); }
    // The thread's claim on a request it found pending in state; false when
    // the screen withdrew it in the meantime.
    bool take(std::uint8_t state)
    {
        return SvRequest.compare_exchange_strong(state, std::uint8_t(state | InService), std::memory_order_acquire);
    }
    // Gives back a request taken by mistake (one posted for another port
    // after the thread last looked), untouched, to the thread it is for.
    void giveBack(std::uint8_t state);
    void finish() { SvRequest.store(None, std::memory_order_release); }
    // The screen stops waiting: a request no thread took is gone, one in
    // service is left to its thread as abandoned. True when it was served.
    bool withdraw();
};
// The process-wide block.
SetValueRequest& setValueRequest();
