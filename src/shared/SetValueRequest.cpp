#include "shared/SetValueRequest.h"

SetValueRequest& setValueRequest()
{
    static SetValueRequest block;
    return block;
}

bool SetValueRequest::withdraw()
{
    std::uint8_t state = pending();
    for (;;) {
        if (state == None)
            return true;
        const std::uint8_t next = (state & InService) ? std::uint8_t(state | Abandoned) : std::uint8_t(None);
        if (SvRequest.compare_exchange_weak(state, next, std::memory_order_acq_rel))
            return false;
    }
}

void SetValueRequest::giveBack(std::uint8_t state)
{
    std::uint8_t taken = std::uint8_t(state | InService);
    // Abandoned meanwhile: nobody waits for it any more, so it is done with.
    if (!SvRequest.compare_exchange_strong(taken, state, std::memory_order_release))
        finish();
}
