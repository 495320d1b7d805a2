#include "dsp/LevelMeter.h"

#include <cmath>

namespace ka813 {

float peakOf(const float* samples, int32_t frames)
{
    // Four running maxima, which the compiler keeps in one vector register.
    float peak[4] = {0.f, 0.f, 0.f, 0.f};
    int32_t k = 0;
    for (; k + 4 <= frames; k += 4)
        for (int32_t i = 0; i < 4; ++i) {
            const float magnitude = std::fabs(samples[k + i]);
            peak[i] = magnitude > peak[i] ? magnitude : peak[i];  // a NaN keeps the peak
        }
    for (; k < frames; ++k) {
        const float magnitude = std::fabs(samples[k]);
        peak[0] = magnitude > peak[0] ? magnitude : peak[0];
    }
    const float low = peak[0] > peak[1] ? peak[0] : peak[1], high = peak[2] > peak[3] ? peak[2] : peak[3];
    return low > high ? low : high;
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
