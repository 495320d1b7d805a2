// The effect's core on its own, without any plug-in format: value changes
// with their recalls, programs and chunks, what it reports, and that the
// model always plays the values as they stand.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "dsp/ParameterCurves.h"
#include "shell/EffectCore.h"
#include "tests/core/RecordingCore.h"

using namespace ka813;
using namespace ka813::coretest;

namespace {

struct Step {
    int32_t index;
    float value;
};

}  // namespace

// Sequences of value changes: what each reads afterwards, and the model.
TEST(EffectCore, ValuesRecallsAndTheModel)
{
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<Step> expected;  // values read afterwards
        double driveATarget;         // the model's, 0 for "not checked"
    };
    const Case cases[] = {
        {"crunch chosen while B plays, then A: full drive",
         {{kParamChannel, 1.f}, {kParamCleanCrunch, 1.f}, {kParamChannel, 0.f}},
         {{kParamCleanCrunch, 1.f}, {kParamDriveA, 0.5f}}, 0.295166875},
        {"clean halves channel A's drive",
         {{kParamDriveA, 1.f}}, {{kParamDriveA, 1.f}}, 0.4982475},
        {"each mode remembers its Input",
         {{kParamInput, 0.3f}, {kParamCleanCrunch, 1.f}, {kParamInput, 0.8f}, {kParamCleanCrunch, 0.f}},
         {{kParamInput, 0.3f}}, 0},
        {"and brings it back",
         {{kParamInput, 0.3f}, {kParamCleanCrunch, 1.f}, {kParamInput, 0.8f}, {kParamCleanCrunch, 0.f},
          {kParamCleanCrunch, 1.f}},
         {{kParamInput, 0.8f}}, 0},
        {"channel B's switch recalls nothing while A plays",
         {{kParamLowA, 0.9f}, {kParamLowHighGain, 1.f}}, {{kParamLowA, 0.9f}}, 0},
        {"clean/crunch while B plays recalls nothing, a later A only Input and Volume",
         {{kParamChannel, 1.f}, {kParamDriveA, 0.9f}, {kParamCleanCrunch, 1.f}, {kParamChannel, 0.f}},
         {{kParamDriveA, 0.9f}, {kParamInput, 0.5f}}, driveCurve(0.9f)},
        {"values are kept unclamped", {{kParamLowA, 1.7f}}, {{kParamLowA, 1.7f}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Core core;
        for (const Step& step : c.steps) {
            core.core.setValue(step.index, step.value, false);
            ASSERT_TRUE(playsItsValues(core.core));
        }
        for (const Step& e : c.expected)
            EXPECT_EQ(core.core.value(e.index), e.value) << e.index;
        if (c.driveATarget != 0) {
            EXPECT_DOUBLE_EQ(core.core.model().driveATarget, c.driveATarget);
        }
    }
}

// What a change reports: the panel's list with the recalled values first,
// and for the host the recalled values that differ.
TEST(EffectCore, ReportsWhatAChangeSetAndRecalled)
{
    Core core;
    core.core.setValue(kParamInput, 0.8f, false);
    core.core.setValue(kParamChannel, 1.f, true);  // B low gain remembers 0.5
    core.core.setValue(kParamChannel, 0.f, true);
    core.core.setValue(30, 0.3f, false);
    const auto& changes = core.recorder.changes;
    ASSERT_EQ(changes.size(), 4u);
    const ChangeReport& back = changes[2];
    EXPECT_TRUE(back.automated);
    ASSERT_EQ(back.shown.count, 3);
    const int32_t order[] = {kParamInput, kParamVolume, kParamChannel};
    for (int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(back.shown.items[i].index, order[i]);
    ASSERT_EQ(back.recalled.count, 1);
    EXPECT_EQ(back.recalled.items[0].index, kParamInput);
    EXPECT_EQ(back.recalled.items[0].value, 0.8f);
    // Outside the table: reported, nothing stored.
    EXPECT_EQ(changes[3].index, 30);
    EXPECT_EQ(changes[3].shown.count, 1);
    EXPECT_EQ(core.core.value(30), 0.f);
}

// Programs and chunks: applied as stored, sizes checked, copies stable.
TEST(EffectCore, ProgramsAndChunks)
{
    Core source;
    source.core.setValue(kParamChannel, 1.f, false);
    source.core.setValue(kParamCleanCrunch, 1.f, false);
    source.core.setValue(kParamDriveA, 0.9f, false);
    void* data = nullptr;
    ASSERT_EQ(source.core.copyChunk(&data, false), kBankSize);
    std::vector<unsigned char> bank(static_cast<unsigned char*>(data),
                                    static_cast<unsigned char*>(data) + kBankSize);
    // The copy stays as it was while the effect changes.
    source.core.setValue(kParamDriveA, 0.1f, false);
    EXPECT_EQ(std::memcmp(data, bank.data(), bank.size()), 0);

    struct Load {
        int32_t size;
        bool program;
        bool taken;
    };
    const Load loads[] = {{kBankSize, false, true}, {kProgramRecordSize, true, true},
                          {kBankSize - 1, false, false}, {kProgramRecordSize + 1, true, false},
                          {kBankSize, true, false}};
    for (const Load& load : loads) {
        Core core;
        core.core.selectProgram(3);
        // Program 0's record opens the bank.
        EXPECT_EQ(core.core.loadChunk(bank.data(), load.size, load.program), load.taken) << load.size;
        EXPECT_TRUE(playsItsValues(core.core));
        EXPECT_EQ(core.core.program(), 3);
        // The bank's program 3 holds the defaults; its program 0 the drive.
        EXPECT_EQ(core.core.value(kParamDriveA), load.taken && load.program ? 0.9f : 0.5f)
            << load.size;
        ASSERT_EQ(core.recorder.loads.size(), load.taken ? 2u : 1u);
        EXPECT_EQ(core.recorder.loads.back().count, kNumParameters);
    }
    // A program's own record: another program's values are not touched.
    Core core;
    ASSERT_TRUE(core.core.loadChunk(bank.data(), kBankSize, false));
    core.core.selectProgram(1);
    EXPECT_EQ(core.core.value(kParamDriveA), 0.5f);
    core.core.selectProgram(0);
    EXPECT_EQ(core.core.value(kParamDriveA), 0.9f);
    EXPECT_TRUE(playsItsValues(core.core));
}

// Value changes from one thread while another holds the state again and
// again: with copies and names, every change lands, the last of each
// parameter last (no mode switch recalls among them); with loads too, the state ends consistent (the values
// read, the record and the model agree).
TEST(EffectCore, ChangesWhileAnotherThreadHoldsTheState)
{
    for (const bool loads : {false, true}) {
        SCOPED_TRACE(loads ? "loads" : "copies");
        Core core;
        std::atomic<bool> stop{false};
        std::thread other([&] {
            std::vector<unsigned char> bank(kBankSize);
            char name[kProgramNameSize + 1];
            for (int round = 0; !stop; ++round) {
                void* data = nullptr;
                core.core.copyChunk(&data, false);
                std::memcpy(bank.data(), data, bank.size());
                core.core.copyProgramName(round % kNumPrograms, name);
                if (loads) {
                    core.core.loadChunk(bank.data(), kBankSize, false);
                    core.core.selectProgram(round % 2);
                }
            }
        });
        float last[kNumParameters];
        for (int32_t i = 0; i < kNumParameters; ++i)
            last[i] = core.core.value(i);
        uint32_t seed = 17;
        for (int i = 0; i < 20000; ++i) {
            seed = seed * 1664525u + 1013904223u;
            int32_t index = static_cast<int32_t>(seed >> 8) % kNumParameters;
            if (!loads && index >= kParamChannel && index <= kParamLowHighGain)
                index += kParamDriveA;
            last[index] = static_cast<float>((seed >> 4) % 5) / 4.f;
            core.core.setValue(index, last[index], false);
        }
        stop = true;
        other.join();
        std::printf("%d of %zu changes applied by the other thread\n",
                    core.recorder.appliedElsewhere, core.recorder.changes.size());
        void* data = nullptr;
        core.core.copyChunk(&data, true);
        for (int32_t i = 0; i < kNumParameters; ++i) {
            float stored;
            std::memcpy(&stored, static_cast<unsigned char*>(data) + parameterInfo(i)->recordOffset,
                        sizeof stored);
            EXPECT_EQ(stored, core.core.value(i)) << i;
            if (!loads) {
                EXPECT_EQ(core.core.value(i), last[i]) << i;
            }
        }
        EXPECT_TRUE(playsItsValues(core.core));
    }
}
