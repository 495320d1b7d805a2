// The delay the oversampler adds, in host frames, by oversampling factor:
// the group delay of the half-band chains up and down, flat from 100 Hz to
// 1 kHz, rounded to the nearest frame so that a host's alignment is never
// more than half a frame off (tests/lv2/LatencyTest.cpp measures it):
//   x2 (96 kHz LowQ)            3.47 frames  -> 3
//   x4 (44.1 kHz LowQ, 96 HighQ) 4.57 frames  -> 5
//   x8 (44.1 kHz HighQ)         4.95 frames  -> 5
#pragma once

#include <cstdint>

namespace ka813::lv2 {

constexpr int32_t latencyFrames(int32_t oversamplingFactor)
{
    return oversamplingFactor <= 2 ? 3 : 5;
}

// The most any factor reports.
constexpr int32_t kMostLatencyFrames = 5;

}  // namespace ka813::lv2
