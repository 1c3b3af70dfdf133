#pragma once
#include <atomic>
#include <cstdint>

#include "platform/PortHandle.h"
#include "shared/Relaxed.h"

// The one block through which the GUI thread hands a set-value read or write
// to the serial polling thread of the device's port. Whoever hands over
// stores the data fields first and SvRequest last (post/finish, release);
// the other side reads SvRequest first (pending, acquire), then the data.
struct SetValueRequest {
    enum : std::uint8_t { None = 0, Read = 1, Write = 2 };

    std::atomic<std::uint8_t> SvRequest{None};
    Relaxed<PortHandle> SvPortHandle;
    Relaxed<std::uint8_t> SvMeterAddr;
    Relaxed<std::int16_t> SvValue;
    Relaxed<std::uint8_t> SvDecimals;
    Relaxed<std::int32_t> SvMeterIndex;
    Relaxed<std::uint8_t> SvSuccess;

    std::uint8_t pending() const { return SvRequest.load(std::memory_order_acquire); }
    void post(std::uint8_t kind) { SvRequest.store(kind, std::memory_order_release); }
    void finish() { SvRequest.store(None, std::memory_order_release); }
};

// The process-wide block.
SetValueRequest& setValueRequest();
