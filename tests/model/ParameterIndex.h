// The parameter indices of the host interface and their default values, as
// a host sees them; written out here so a reordered table shows up in tests.
#pragma once

#include <cstdint>

namespace ka813::test {

enum : int32_t {
    kInput = 0, kChannel, kCleanCrunch, kLowHighGain,
    kDriveA, kLowA, kMidA, kHighA, kContourA, kFocusA, kBottomA, kBrightA,
    kDriveB, kLowB, kMidB, kHighB, kContourB, kFocusB, kBottomB, kBrightB,
    kVolume, kStereo, kQuality
};

// Every knob starts at 0.5, every switch at 0.
inline float defaultValue(int32_t index)
{
    const bool knob = index == 0 || (index >= 4 && index <= 8) || (index >= 12 && index <= 16) || index == 20;
    return knob ? 0.5f : 0.f;
}

}  // namespace ka813::test
