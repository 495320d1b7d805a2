// The mode map against the stored format and the recall rules hosts and
// saved programs rely on: what each switch brings back, in which order, and
// where each mode keeps each value.
#include <gtest/gtest.h>

#include <vector>

#include "shell/ModeMap.h"

using namespace ka813;

namespace {

SelectedModes modesFor(float channel, float cleanCrunch, float lowHighGain)
{
    return selectedModes([&](int32_t parameter) {
        return parameter == kParamChannel ? channel : parameter == kParamCleanCrunch ? cleanCrunch : lowHighGain;
    });
}

}  // namespace

TEST(ModeMap, WhatEachSwitchBringsBack)
{
    const std::vector<int32_t> none, channel = {0, 20}, a = {0, 4, 5, 6, 7, 8, 20, 9, 11, 10},
                                     b = {0, 12, 13, 14, 15, 16, 20, 17, 19, 18};
    struct Case {
        int32_t switched;
        float channel, cleanCrunch, lowHighGain;  // as they stand once it is set
        AmpMode mode;
        std::vector<int32_t> parameters;
    };
    const Case cases[] = {
        {kParamChannel, 0.f, 1.f, 0.f, kModeACrunch, channel},
        {kParamChannel, 1.f, 1.f, 1.f, kModeBHighGain, channel},
        {kParamCleanCrunch, 0.f, 1.f, 0.f, kModeACrunch, a},
        {kParamCleanCrunch, 1.f, 1.f, 0.f, kModeBLowGain, none},
        {kParamLowHighGain, 1.f, 0.f, 0.f, kModeBLowGain, b},
        {kParamLowHighGain, 0.f, 0.f, 1.f, kModeAClean, none},
        {kParamDriveA, 0.f, 0.f, 0.f, kModeAClean, none},
    };
    for (const Case& c : cases) {
        const Recall recall = recallFor(c.switched, modesFor(c.channel, c.cleanCrunch, c.lowHighGain));
        EXPECT_EQ(std::vector<int32_t>(recall.parameters, recall.parameters + recall.count), c.parameters)
            << c.switched << " " << c.channel;
        if (recall.count > 0) {
            EXPECT_EQ(recall.mode, c.mode) << c.switched;
        }
    }
}

TEST(ModeMap, WhereEachModeKeepsEachValue)
{
    // Slot in a mode memory by parameter; -1 for none.
    const int32_t slots[kNumParameters] = {0, -1, -1, -1, 1, 2, 3, 4, 5, 7, 9, 10,
                                           1, 2,  3,  4,  5, 7, 9, 10, 6, -1, -1};
    for (int32_t p = 0; p < kNumParameters; ++p) {
        const int32_t control = modeControlOf(p);
        EXPECT_EQ(control < 0 ? -1 : kModeMap.controls[control].memorySlot, slots[p]) << p;
    }
    // Input and Volume follow the mode that plays, the rest their channel's own.
    const SelectedModes bHighPlaysACrunchSet = modesFor(1.f, 1.f, 1.f);
    EXPECT_EQ(rememberingMode(kParamVolume, bHighPlaysACrunchSet), kModeBHighGain);
    EXPECT_EQ(rememberingMode(kParamMidA, bHighPlaysACrunchSet), kModeACrunch);
    EXPECT_EQ(rememberingMode(kParamStereo, bHighPlaysACrunchSet), -1);
    // The switch positions that select a mode select it.
    for (int32_t m = 0; m < kNumAmpModes; ++m) {
        const AmpMode mode = AmpMode(m);
        const SelectedModes selected = modesFor(switchValueFor(mode, kParamChannel),
                                                switchValueFor(mode, kParamCleanCrunch),
                                                switchValueFor(mode, kParamLowHighGain));
        EXPECT_EQ(selected.active, mode) << kModeMap.modes[m].name;
    }
}
