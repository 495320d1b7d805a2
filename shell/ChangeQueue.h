// Value changes on their way from any thread to whichever thread holds the
// effect's state next. A bounded queue in a fixed ring (after D. Vyukov's
// bounded queue): pushing takes no lock, allocates nothing and never waits,
// so the host's audio thread may push while another thread holds the state.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace ka813 {

struct ValueChange {
    int32_t index;
    float value;
    bool automated;  // the user moved it on the panel: the host records it
};

class ChangeQueue {
public:
    static constexpr uint32_t kCapacity = 1024;  // a power of two

    ChangeQueue()
    {
        for (uint32_t i = 0; i < kCapacity; ++i)
            cells[i].sequence.store(i, std::memory_order_relaxed);
    }

    // Any thread. False when the ring is full: the change is not taken.
    bool push(const ValueChange& change)
    {
        uint32_t position = tail.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells[position & (kCapacity - 1)];
            const uint32_t sequence = cell.sequence.load(std::memory_order_acquire);
            const int32_t lag = static_cast<int32_t>(sequence - position);
            if (lag == 0) {
                if (tail.compare_exchange_weak(position, position + 1, std::memory_order_relaxed))
                    break;
            } else if (lag < 0) {
                return false;
            } else {
                position = tail.load(std::memory_order_relaxed);
            }
        }
        Cell& cell = cells[position & (kCapacity - 1)];
        cell.change = change;
        // Sequentially consistent: the state's holder, which lets go and
        // then looks here, and this pusher, which then tries to take the
        // state, cannot both miss each other.
        cell.sequence.store(position + 1, std::memory_order_seq_cst);
        return true;
    }

    // Whether a change waits at the front. Any thread may ask; the answer
    // is exact for the consumer and never a false yes for anyone else.
    bool ready() const
    {
        const uint32_t position = head.load(std::memory_order_relaxed);
        const Cell& cell = cells[position & (kCapacity - 1)];
        return cell.sequence.load(std::memory_order_seq_cst) == position + 1;
    }

    // One consumer at a time: whoever holds the state.
    bool pop(ValueChange& change)
    {
        const uint32_t position = head.load(std::memory_order_relaxed);
        Cell& cell = cells[position & (kCapacity - 1)];
        if (cell.sequence.load(std::memory_order_acquire) != position + 1)
            return false;
        change = cell.change;
        cell.sequence.store(position + kCapacity, std::memory_order_release);
        head.store(position + 1, std::memory_order_relaxed);
        return true;
    }

private:
    struct Cell {
        std::atomic<uint32_t> sequence;
        ValueChange change;
    };
    Cell cells[kCapacity];
    std::atomic<uint32_t> tail{0};
    std::atomic<uint32_t> head{0};
};

}  // namespace ka813
