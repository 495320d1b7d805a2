// The queue of value changes and the values read back while changes wait:
// order, a full ring, parked changes, wrap-around, and many pushers at once.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "shell/ChangeQueue.h"
#include "shell/ReadBack.h"

using namespace ka813;

namespace {

std::vector<ValueChange> drain(ChangeQueue& queue)
{
    std::vector<ValueChange> taken;
    ValueChange change;
    while (queue.pop(change))
        taken.push_back(change);
    return taken;
}

}  // namespace

TEST(ChangeQueue, EmptyFullAndParked)
{
    ChangeQueue queue;
    ValueChange change;
    EXPECT_FALSE(queue.pop(change));
    EXPECT_EQ(queue.size(), 0u);
    // Full: the rest park, the newest value of each parameter.
    for (uint32_t i = 0; i < ChangeQueue::kCapacity; ++i)
        EXPECT_FALSE(queue.push({kParamLowA, float(i), false}));
    EXPECT_FALSE(queue.push({kParamDriveA, 1.f, false}));
    EXPECT_FALSE(queue.push({kParamChannel, 1.f, true}));
    EXPECT_TRUE(queue.push({kParamDriveA, 2.f, false}));  // replaces the parked 1
    EXPECT_EQ(queue.size(), ChangeQueue::kCapacity + 2);
    // Room again, but while a change is parked the next parks too.
    ASSERT_TRUE(queue.pop(change));
    EXPECT_EQ(change.value, 0.f);
    EXPECT_FALSE(queue.push({kParamInput, 0.5f, false}));

    const std::vector<ValueChange> taken = drain(queue);
    ASSERT_EQ(taken.size(), ChangeQueue::kCapacity - 1 + 3);
    for (uint32_t i = 0; i + 1 < ChangeQueue::kCapacity; ++i)
        ASSERT_EQ(taken[i].value, float(i + 1));
    // After the ring, switches first, as a program is applied.
    const ValueChange* parked = &taken[ChangeQueue::kCapacity - 1];
    EXPECT_EQ(parked[0].index, kParamChannel);
    EXPECT_TRUE(parked[0].automated);
    EXPECT_EQ(parked[1].index, kParamInput);
    EXPECT_EQ(parked[2].index, kParamDriveA);
    EXPECT_EQ(parked[2].value, 2.f);
    EXPECT_EQ(queue.size(), 0u);
    // Nothing parked: the ring again.
    EXPECT_FALSE(queue.push({kParamMidA, 0.3f, false}));
    ASSERT_TRUE(queue.pop(change));
    EXPECT_EQ(change.index, kParamMidA);
}

TEST(ChangeQueue, WrapsAroundInOrder)
{
    ChangeQueue queue;
    uint32_t pushed = 0, popped = 0;
    // Many times round the ring, at varying depths.
    for (uint32_t round = 0; round < 40; ++round) {
        const uint32_t depth = (round * 379) % ChangeQueue::kCapacity + 1;
        for (uint32_t i = 0; i < depth; ++i)
            ASSERT_FALSE(queue.push({kParamMidB, float(pushed++), false}));
        ValueChange change;
        while (queue.pop(change))
            ASSERT_EQ(change.value, float(popped++));
    }
    EXPECT_EQ(popped, pushed);
}

// Each pusher writes its own parameter with rising values while one
// consumer takes: nothing comes out of order, nothing is lost but what a
// newer parked value replaced, and the last value of each comes out last.
TEST(ChangeQueue, ManyPushersOneConsumer)
{
    ChangeQueue queue;
    constexpr int32_t kPushers = 4, kEach = 200000;
    std::atomic<int32_t> running{kPushers};
    std::vector<std::thread> pushers;
    for (int32_t p = 0; p < kPushers; ++p)
        pushers.emplace_back([&, p] {
            for (int32_t i = 1; i <= kEach; ++i)
                queue.push({kParamDriveA + p, float(i), false});
            running.fetch_sub(1);
        });
    float last[kPushers] = {};
    ValueChange change;
    for (;;) {
        const bool done = running.load() == 0;
        while (queue.pop(change)) {
            const int32_t p = change.index - kParamDriveA;
            ASSERT_GT(change.value, last[p]);
            last[p] = change.value;
        }
        if (done && queue.size() == 0)
            break;
    }
    for (std::thread& pusher : pushers)
        pusher.join();
    for (float value : last)
        EXPECT_EQ(value, float(kEach));
}

// A script of writes and applications of one parameter, and what reads back
// after each step.
TEST(ReadBack, ANewerWriteShowsUntilItIsApplied)
{
    enum Step { Write, Drop, Apply, Recall };
    struct Case {
        const char* name;
        std::vector<std::pair<Step, float>> steps;
        std::vector<float> shown;
    };
    const Case cases[] = {
        {"a write shows at once, and stays when applied",
         {{Write, 0.2f}, {Apply, 0.2f}}, {0.2f, 0.2f}},
        {"an older change applied later does not show",
         {{Write, 0.2f}, {Write, 0.7f}, {Apply, 0.2f}, {Apply, 0.7f}}, {0.2f, 0.7f, 0.7f, 0.7f}},
        {"nor does a recall while a write waits",
         {{Write, 0.2f}, {Recall, 0.9f}, {Apply, 0.2f}, {Recall, 0.9f}}, {0.2f, 0.2f, 0.2f, 0.9f}},
        {"another thread's write applied last is what stays",
         {{Write, 0.2f}, {Write, 0.7f}, {Apply, 0.7f}, {Apply, 0.2f}}, {0.2f, 0.7f, 0.7f, 0.2f}},
        {"a parked write replaced never counts",
         {{Write, 0.2f}, {Write, 0.7f}, {Drop, 0}, {Apply, 0.7f}, {Recall, 0.4f}},
         {0.2f, 0.7f, 0.7f, 0.7f, 0.4f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReadBack readBack;
        for (size_t i = 0; i < c.steps.size(); ++i) {
            const auto [step, value] = c.steps[i];
            switch (step) {
            case Write: readBack.written(kParamMidA, value); break;
            case Drop: readBack.dropped(kParamMidA); break;
            case Apply: readBack.applied(kParamMidA, value); break;
            case Recall: readBack.set(kParamMidA, value); break;
            }
            EXPECT_EQ(readBack.value(kParamMidA), c.shown[i]) << "step " << i;
        }
    }
}
