// The values getParameter answers, from any thread. A value written reads
// back at once and stays until a newer one replaces it: while a newer write
// of a parameter waits to be applied, neither an older change applied in
// the meantime nor a recall shows through.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

#include "shell/ParameterTable.h"

namespace ka813 {

class ReadBack {
public:
    ReadBack()
    {
        for (std::atomic<uint64_t>& slot : slots)
            slot.store(0, std::memory_order_relaxed);
    }

    float value(int32_t index) const
    {
        return valueOf(slots[index].load(std::memory_order_acquire));
    }

    // Any thread, before the change is queued: it reads back from now on.
    void written(int32_t index, float value)
    {
        update(index, [&](float, uint32_t waiting) { return pack(value, waiting + 1); });
    }
    // A waiting change that will never be applied: a newer one replaced it.
    void dropped(int32_t index)
    {
        update(index, [](float shown, uint32_t waiting) { return pack(shown, waiting - 1); });
    }
    // The state's holder applied a written change; the value the state now
    // holds shows once no newer write waits.
    void applied(int32_t index, float held)
    {
        update(index, [&](float shown, uint32_t waiting) {
            return waiting == 1 ? pack(held, 0) : pack(shown, waiting - 1);
        });
    }
    // The state's holder set a value of its own (a recall, a load): it shows
    // unless a write waits, which will then have the last word.
    void set(int32_t index, float held)
    {
        update(index, [&](float shown, uint32_t waiting) {
            return waiting == 0 ? pack(held, 0) : pack(shown, waiting);
        });
    }

private:
    // The value's bits, and how many written changes wait to be applied.
    static uint64_t pack(float value, uint32_t waiting)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return uint64_t{waiting} << 32 | bits;
    }
    static float valueOf(uint64_t slot)
    {
        const uint32_t bits = static_cast<uint32_t>(slot);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    template <class Next>
    void update(int32_t index, Next next)
    {
        uint64_t slot = slots[index].load(std::memory_order_relaxed);
        while (!slots[index].compare_exchange_weak(
            slot, next(valueOf(slot), static_cast<uint32_t>(slot >> 32)),
            std::memory_order_acq_rel, std::memory_order_relaxed)) {
        }
    }

    std::atomic<uint64_t> slots[kNumParameters];
};

}  // namespace ka813
