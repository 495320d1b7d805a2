// The parameters' positions to the model's settings, in one pass: every
// setting is a function of the positions as they stand, so the same values
// always make the same sound, whatever order they arrived in.
#pragma once

#include "dsp/AmpSettings.h"

namespace ka813 {

// A switch is in its second-named state from 0.5 up.
constexpr bool switchIsOn(float position)
{
    return position >= 0.5f;
}

// Every parameter's position, nominally 0 to 1 and never clamped; a switch
// is read by switchIsOn.
struct ParameterPositions {
    float input = 0.f;
    float channel = 0.f, cleanCrunch = 0.f, lowHighGain = 0.f;
    float driveA = 0.f, lowA = 0.f, midA = 0.f, highA = 0.f, contourA = 0.f;
    float focusA = 0.f, bottomA = 0.f, brightA = 0.f;
    float driveB = 0.f, lowB = 0.f, midB = 0.f, highB = 0.f, contourB = 0.f;
    float focusB = 0.f, bottomB = 0.f, brightB = 0.f;
    float volume = 0.f, stereo = 0.f, highQuality = 0.f;
};

// The settings these positions make. The input gain and channel A's drive
// follow the mode the switches select now.
AmpSettings settingsFor(const ParameterPositions& positions);

}  // namespace ka813
