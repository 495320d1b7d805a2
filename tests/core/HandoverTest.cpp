// Value changes handed over while another call holds the effect's state,
// with the interleavings scripted through the core's take hook: whatever
// order the changes are taken in, the last value written is the one that
// stays, in the value read back, the chunk and the model.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/core/RecordingCore.h"

using namespace ka813;
using namespace ka813::coretest;

namespace {

float storedValue(EffectCore& core, int32_t index)
{
    void* data = nullptr;
    core.copyChunk(&data, true);
    float stored;
    std::memcpy(&stored, static_cast<unsigned char*>(data) + parameterInfo(index)->recordOffset,
                sizeof stored);
    return stored;
}

// The holder of the state stalls on its first change while the host fills
// the queue and writes two more values; when the first of those is taken,
// the host writes the second parameter again.
struct OverflowScript {
    EffectCore* core = nullptr;
    bool filled = false, rewritten = false;

    static void onTake(void* context, const ValueChange& change)
    {
        OverflowScript& script = *static_cast<OverflowScript*>(context);
        if (!script.filled) {
            script.filled = true;
            for (uint32_t i = 0; i < ChangeQueue::kCapacity; ++i)
                script.core->setValue(kParamLowA, i % 2 ? 0.25f : 0.75f, false);
            script.core->setValue(kParamDriveA, 0.3f, false);
            script.core->setValue(kParamMidA, 0.1f, false);
        } else if (change.index == kParamDriveA && !script.rewritten) {
            script.rewritten = true;
            script.core->setValue(kParamMidA, 0.9f, false);
        }
    }
};

}  // namespace

TEST(EffectCoreHandover, AValueWrittenWhileOverflowedValuesAreTakenWins)
{
    Core core;
    OverflowScript script;
    script.core = &core.core;
    core.core.setTakeHook(&OverflowScript::onTake, &script);
    core.core.setValue(kParamInput, 0.4f, false);
    // The next call applies whatever still waits.
    void* data = nullptr;
    core.core.copyChunk(&data, true);
    ASSERT_TRUE(script.rewritten);
    EXPECT_EQ(core.core.value(kParamMidA), 0.9f);
    EXPECT_EQ(storedValue(core.core, kParamMidA), 0.9f);
    EXPECT_EQ(core.core.model().midA, double(0.9f));
    EXPECT_EQ(core.core.value(kParamDriveA), 0.3f);
    EXPECT_TRUE(playsItsValues(core.core));
}

namespace {

// Another thread keeps writing while this one applies: one new change at
// every take, as long as the stream runs.
struct StreamScript {
    EffectCore* core = nullptr;
    bool streaming = false;
    int pushed = 0;

    static void onTake(void* context, const ValueChange&)
    {
        StreamScript& script = *static_cast<StreamScript*>(context);
        if (script.streaming && script.pushed < 10000) {
            ++script.pushed;
            script.core->setValue(kParamHighB, script.pushed % 2 ? 0.2f : 0.8f, false);
        }
    }
};

}  // namespace

// A call applies what waited when it began, never what others push
// meanwhile; that is applied before the next block plays.
TEST(EffectCoreHandover, ACallAppliesNoMoreThanWaitedWhenItBegan)
{
    Core core;
    StreamScript script;
    script.core = &core.core;
    core.core.setTakeHook(&StreamScript::onTake, &script);
    script.streaming = true;
    core.core.setValue(kParamLowB, 0.6f, false);
    script.streaming = false;
    EXPECT_EQ(core.recorder.changes.size(), 1u);
    EXPECT_EQ(script.pushed, 1);
    EXPECT_EQ(core.core.value(kParamHighB), 0.2f) << "reads back before it is applied";
    EXPECT_NE(core.core.model().highB, double(0.2f));

    float in[16] = {}, outL[16], outR[16];
    const float* inputs[] = {in, in};
    float* outputs[] = {outL, outR};
    core.core.process(inputs, outputs, 16);
    EXPECT_EQ(core.recorder.changes.size(), 2u);
    EXPECT_EQ(core.core.model().highB, double(0.2f));
    EXPECT_TRUE(playsItsValues(core.core));
}

namespace {

// Two writes of one parameter wait while the state is held; the recall and
// the older write applied first must not show through the newer.
struct WaitingWritesScript {
    EffectCore* core = nullptr;
    bool written = false;
    float seenWhileApplying = 0.f;

    static void onTake(void* context, const ValueChange& change)
    {
        WaitingWritesScript& script = *static_cast<WaitingWritesScript*>(context);
        if (!script.written) {
            script.written = true;
            script.core->setValue(kParamCleanCrunch, 1.f, false);  // recalls Input
            script.core->setValue(kParamInput, 0.3f, false);
            script.core->setValue(kParamInput, 0.7f, false);
        } else if (change.index == kParamInput && change.value == 0.7f) {
            script.seenWhileApplying = script.core->value(kParamInput);
        }
    }
};

}  // namespace

TEST(EffectCoreHandover, TheNewestWriteReadsBackWhileOlderChangesAreApplied)
{
    Core core;
    WaitingWritesScript script;
    script.core = &core.core;
    core.core.setTakeHook(&WaitingWritesScript::onTake, &script);
    core.core.setValue(kParamVolume, 0.4f, false);
    EXPECT_EQ(core.core.value(kParamInput), 0.7f);
    void* data = nullptr;
    core.core.copyChunk(&data, true);  // applies the three
    EXPECT_EQ(script.seenWhileApplying, 0.7f);
    EXPECT_EQ(core.core.value(kParamInput), 0.7f);
    EXPECT_TRUE(playsItsValues(core.core));
}
