#include "dsp/LevelMeter.h"

#include <cmath>

namespace ka813 {

float peakOf(const float* samples, int32_t frames)
{
    float peak = 0.f;
    for (int32_t k = 0; k < frames; ++k) {
        const float magnitude = std::fabs(samples[k]);
        if (magnitude > peak)  // false for a NaN
            peak = magnitude;
    }
    return peak;
}

void LevelMeter::setRate(float hostRate)
{
    const double rate = hostRate > 0.f ? hostRate : 44100.0;
    holdFrames = kHoldSeconds * rate;
    fallPerFrame = kFallDbPerSecond / rate;
}

void LevelMeter::reset()
{
    level = kFloorDb;
    holdFramesLeft = 0.0;
}

void LevelMeter::take(float peak, int32_t frames)
{
    double peakDb = peak > 0.f ? 20.0 * std::log10(static_cast<double>(peak)) : kFloorDb;
    if (peakDb < kFloorDb)
        peakDb = kFloorDb;
    if (peakDb > kCeilingDb)  // an infinity included
        peakDb = kCeilingDb;
    if (peakDb >= level) {
        level = peakDb;
        holdFramesLeft = holdFrames;
        return;
    }
    const double falling = frames > holdFramesLeft ? frames - holdFramesLeft : 0.0;
    holdFramesLeft = falling > 0.0 ? 0.0 : holdFramesLeft - frames;
    level -= falling * fallPerFrame;
    if (level < peakDb)
        level = peakDb;
}

}  // namespace ka813
