// An effect core that records what it reports, and whether its model plays
// the values it holds.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "shell/EffectCore.h"

namespace ka813::coretest {

// Told from whichever thread applied a change.
struct Recorder : EffectCore::Listener {
    std::mutex mutex;
    std::vector<ChangeReport> changes;
    std::vector<ValueList> loads;
    std::thread::id setter = std::this_thread::get_id();
    int appliedElsewhere = 0;  // by a thread other than the one that set them
    void valueChanged(const ChangeReport& report) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        changes.push_back(report);
        appliedElsewhere += std::this_thread::get_id() != setter;
    }
    void programLoaded(const ValueList& values) override
    {
        std::lock_guard<std::mutex> lock(mutex);
        loads.push_back(values);
    }
};

struct Core {
    Recorder recorder;
    EffectCore core{recorder};
};

// The settings the model holds are those the values make now, in one pass.
inline ::testing::AssertionResult playsItsValues(const EffectCore& core)
{
    float values[kNumParameters];
    for (int32_t i = 0; i < kNumParameters; ++i)
        values[i] = core.value(i);
    const AmpSettings expected = settingsFor(positionsOf(values));
    const AmpSettings& actual = core.model();
    const double pairs[][2] = {
        {expected.inputGainTarget, actual.inputGainTarget}, {expected.driveATarget, actual.driveATarget},
        {expected.driveAShaped, actual.driveAShaped},       {expected.driveBTarget, actual.driveBTarget},
        {expected.contourAShaped, actual.contourAShaped},   {expected.contourBShaped, actual.contourBShaped},
        {expected.lowA, actual.lowA},                       {expected.midA, actual.midA},
        {expected.highB, actual.highB},
        {expected.volume, actual.volume},                   {1.0 * expected.channelB, 1.0 * actual.channelB},
        {1.0 * expected.crunchA, 1.0 * actual.crunchA},     {1.0 * expected.highGainB, 1.0 * actual.highGainB},
        {1.0 * expected.bottomA, 1.0 * actual.bottomA},     {1.0 * expected.stereo, 1.0 * actual.stereo},
    };
    for (size_t i = 0; i < sizeof pairs / sizeof pairs[0]; ++i)
        if (std::memcmp(&pairs[i][0], &pairs[i][1], sizeof(double)) != 0)
            return ::testing::AssertionFailure() << "setting " << i << ": " << actual.driveATarget;
    return ::testing::AssertionSuccess();
}

}  // namespace ka813::coretest
