// How values cross from the threads that change the effect to the thread
// that plays it, without either ever waiting for the other.
#pragma once

#include <atomic>
#include <cstdint>

namespace ka813 {

// The newest of a series of values, from one writer at a time to one reader
// at a time (a triple buffer). The writer never overwrites the slot the
// reader holds; the reader always gets the latest complete value.
template <class T>
class Handover {
public:
    // Writer: one thread at a time.
    void publish(const T& value)
    {
        slots[back] = value;
        back = middle.exchange(back | kFresh, std::memory_order_acq_rel) & kIndex;
    }

    // Reader: one thread at a time. The newest value if one was published
    // since the last take, else null; it stays valid until the next take.
    const T* take()
    {
        if ((middle.load(std::memory_order_relaxed) & kFresh) == 0)
            return nullptr;
        front = middle.exchange(front, std::memory_order_acq_rel) & kIndex;
        return &slots[front];
    }

private:
    static constexpr uint32_t kIndex = 3, kFresh = 4;
    T slots[3]{};
    uint32_t back = 0;   // the writer's slot
    uint32_t front = 1;  // the reader's slot
    std::atomic<uint32_t> middle{2};
};

// Exclusive use of something for as long as the lease lives, taken only if
// nobody holds it: never waits.
class Lease {
public:
    enum Holder : int32_t { kNobody = 0, kAudio, kControl };

    Lease(std::atomic<int32_t>& holder, Holder who) : holder(holder)
    {
        int32_t expected = kNobody;
        held = holder.compare_exchange_strong(expected, who, std::memory_order_acquire,
                                              std::memory_order_relaxed);
    }
    ~Lease()
    {
        if (held)
            holder.store(kNobody, std::memory_order_release);
    }
    Lease(const Lease&) = delete;
    Lease& operator=(const Lease&) = delete;

    explicit operator bool() const { return held; }

private:
    std::atomic<int32_t>& holder;
    bool held;
};

}  // namespace ka813
