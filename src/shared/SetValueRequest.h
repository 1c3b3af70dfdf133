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
