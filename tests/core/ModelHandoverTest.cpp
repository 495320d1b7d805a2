// How settings reach the model: the newest-value hand-over, the lease on the
// model, and who applies settings while audio runs or not.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "shell/ModelOwner.h"

using namespace ka813;

namespace {

// Consistent only when every word is the same: a torn read shows.
struct Words {
    uint32_t word[16];
};

}  // namespace

TEST(Handover, EmptyNewestAndAroundItsSlots)
{
    Handover<Words> handover;
    EXPECT_EQ(handover.take(), nullptr);
    // Each round publishes a few values, more than its three slots hold.
    uint32_t next = 1;
    for (uint32_t round = 0; round < 50; ++round) {
        for (uint32_t i = 0; i < round % 5 + 1; ++i, ++next) {
            Words words;
            std::fill(std::begin(words.word), std::end(words.word), next);
            handover.publish(words);
        }
        const Words* taken = handover.take();
        ASSERT_NE(taken, nullptr);
        EXPECT_EQ(taken->word[0], next - 1) << round;
        EXPECT_EQ(handover.take(), nullptr);
        EXPECT_EQ(taken->word[15], next - 1) << "stays valid until the next take";
    }
}

TEST(Handover, ReaderSeesWholeValuesInOrderWhileTheWriterRuns)
{
    Handover<Words> handover;
    constexpr uint32_t kCount = 300000;
    std::thread writer([&] {
        for (uint32_t n = 1; n <= kCount; ++n) {
            Words words;
            std::fill(std::begin(words.word), std::end(words.word), n);
            handover.publish(words);
        }
    });
    uint32_t last = 0;
    while (last < kCount) {
        if (const Words* taken = handover.take()) {
            for (uint32_t word : taken->word)
                ASSERT_EQ(word, taken->word[0]);
            ASSERT_GT(taken->word[0], last);
            last = taken->word[0];
        }
    }
    writer.join();
}

TEST(Lease, OneHolderAtATime)
{
    std::atomic<int32_t> holder{Lease::kNobody};
    {
        Lease first(holder, Lease::kControl);
        EXPECT_TRUE(first);
        Lease second(holder, Lease::kAudio);
        EXPECT_FALSE(second);
    }
    Lease again(holder, Lease::kAudio);
    EXPECT_TRUE(again);

    // Two threads count only while they hold it: no count is lost.
    std::atomic<int32_t> shared{Lease::kNobody};
    long counted = 0, held[2] = {0, 0};
    auto work = [&](int who) {
        for (int i = 0; i < 200000; ++i) {
            Lease lease(shared, who ? Lease::kAudio : Lease::kControl);
            if (lease) {
                ++counted;
                ++held[who];
            }
        }
    };
    std::thread other(work, 1);
    work(0);
    other.join();
    EXPECT_EQ(counted, held[0] + held[1]);
}

// While no audio runs, published values reach the model at once; while it
// runs, only the audio thread applies them, with the next block.
TEST(ModelOwner, AppliesAtOnceOnlyWhileNoAudioRuns)
{
    ModelOwner::Values values;
    defaultValues(values);
    ModelOwner owner(values, 44100.f);
    auto publishVolume = [&](float volume) {
        values[kParamVolume] = volume;
        owner.publish(values, 44100.f);
    };
    publishVolume(0.9f);
    owner.applyIfIdle();
    EXPECT_EQ(owner.model().volume, 0.9f);

    std::vector<float> in(64, 0.f), outL(64), outR(64);
    const float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {outL.data(), outR.data()};
    owner.resume();
    owner.process(inputs, outputs, 64);
    publishVolume(0.7f);
    owner.applyIfIdle();
    EXPECT_EQ(owner.model().volume, 0.9f) << "left to the audio thread";
    owner.process(inputs, outputs, 64);
    EXPECT_EQ(owner.model().volume, 0.7f);

    publishVolume(0.3f);
    owner.suspend();
    EXPECT_EQ(owner.model().volume, 0.3f) << "a stopped stream takes it at once";
}
