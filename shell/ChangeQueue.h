// Value changes on their way from any thread to whichever thread holds the
// effect's state next, in the order they were made. Pushing takes no lock,
// allocates nothing and never waits, so the host's audio thread may push
// while another thread holds the state.
//
// A ring keeps the order (after D. Vyukov's bounded queue). Should a holder
// stall long enough to let it fill, a change is parked instead: one slot per
// parameter keeps its newest value, and while any parked change waits every
// change parks, so that none overtakes an older one through the ring. Parked
// changes come out once the ring is empty, switches first, as a program is
// applied.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

#include "shell/ProgramBank.h"

namespace ka813 {

struct ValueChange {
    int32_t index;    // inside the parameter table
    float value;
    bool automated;   // the user moved it on the panel: the host records it
};

class ChangeQueue {
public:
    static constexpr uint32_t kCapacity = 1024;  // a power of two

    ChangeQueue()
    {
        for (uint32_t i = 0; i < kCapacity; ++i)
            cells[i].sequence.store(i, std::memory_order_relaxed);
        for (std::atomic<uint64_t>& slot : parked)
            slot.store(0, std::memory_order_relaxed);
    }

    // Any thread. True when the change replaced an older parked one of the
    // same parameter, which will now never come out.
    bool push(const ValueChange& change)
    {
        if (parkedCount.load(std::memory_order_seq_cst) == 0 && pushToRing(change))
            return false;
        return park(change);
    }

    // One consumer at a time: whoever holds the state.
    bool pop(ValueChange& change)
    {
        const uint32_t position = head.load(std::memory_order_relaxed);
        Cell& cell = cells[position & (kCapacity - 1)];
        if (cell.sequence.load(std::memory_order_acquire) == position + 1) {
            change = cell.change;
            cell.sequence.store(position + kCapacity, std::memory_order_release);
            head.store(position + 1, std::memory_order_relaxed);
            return true;
        }
        // A change still being written into the ring comes before any parked.
        if (tail.load(std::memory_order_seq_cst) != position)
            return false;
        return takeParked(change);
    }

    // How many changes wait: a bound on what the consumer can take now.
    uint32_t size() const
    {
        return tail.load(std::memory_order_seq_cst) - head.load(std::memory_order_relaxed)
               + parkedCount.load(std::memory_order_seq_cst);
    }

private:
    static constexpr uint64_t kWaiting = uint64_t{1} << 63, kAutomated = uint64_t{1} << 62;

    bool pushToRing(const ValueChange& change)
    {
        uint32_t position = tail.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells[position & (kCapacity - 1)];
            const uint32_t sequence = cell.sequence.load(std::memory_order_acquire);
            const int32_t lag = static_cast<int32_t>(sequence - position);
            if (lag == 0) {
                if (tail.compare_exchange_weak(position, position + 1, std::memory_order_seq_cst))
                    break;
            } else if (lag < 0) {
                return false;  // full
            } else {
                position = tail.load(std::memory_order_relaxed);
            }
        }
        Cell& cell = cells[position & (kCapacity - 1)];
        cell.change = change;
        cell.sequence.store(position + 1, std::memory_order_release);
        return true;
    }

    bool park(const ValueChange& change)
    {
        uint32_t bits;
        std::memcpy(&bits, &change.value, sizeof bits);
        const uint64_t slot = kWaiting | (change.automated ? kAutomated : 0) | bits;
        // Counted before it shows, so that the count never falls short of
        // what waits and no pusher takes the ring past it.
        parkedCount.fetch_add(1, std::memory_order_seq_cst);
        const uint64_t before = parked[change.index].exchange(slot, std::memory_order_seq_cst);
        if ((before & kWaiting) == 0)
            return false;
        parkedCount.fetch_sub(1, std::memory_order_seq_cst);
        return true;
    }

    // The consumer moves every parked change aside at once, then hands them
    // out only while the ring is empty: a pusher that parked after filling
    // the ring has its ring entries seen by then. They stay counted until
    // handed out, so that meanwhile every change parks behind them.
    bool takeParked(ValueChange& change)
    {
        if (movedCount == 0) {
            if (parkedCount.load(std::memory_order_seq_cst) == 0)
                return false;
            for (int32_t index = 0; index < kNumParameters; ++index) {
                if ((parked[index].load(std::memory_order_relaxed) & kWaiting) == 0)
                    continue;
                moved[index] = parked[index].exchange(0, std::memory_order_seq_cst);
                ++movedCount;
            }
            if (movedCount == 0
                || tail.load(std::memory_order_seq_cst) != head.load(std::memory_order_relaxed))
                return false;
        }
        for (int32_t index : kProgramApplyOrder) {
            const uint64_t slot = moved[index];
            if ((slot & kWaiting) == 0)
                continue;
            moved[index] = 0;
            --movedCount;
            parkedCount.fetch_sub(1, std::memory_order_seq_cst);
            const uint32_t bits = static_cast<uint32_t>(slot);
            std::memcpy(&change.value, &bits, sizeof bits);
            change.index = index;
            change.automated = (slot & kAutomated) != 0;
            return true;
        }
        return false;
    }

    struct Cell {
        std::atomic<uint32_t> sequence;
        ValueChange change;
    };
    Cell cells[kCapacity];
    std::atomic<uint32_t> tail{0};
    std::atomic<uint32_t> head{0};
    std::atomic<uint64_t> parked[kNumParameters];
    std::atomic<uint32_t> parkedCount{0};
    // The consumer's: parked changes moved aside, not yet handed out.
    uint64_t moved[kNumParameters] = {};
    int32_t movedCount = 0;
};

}  // namespace ka813
