// A peak meter as a player reads one: it rises at once to the loudest
// sample, holds there for a second so that a single peak can be seen, then
// falls 20 dB in 1.7 s (the return time of digital peak programme meters),
// never below the loudest sample of the block just measured. Readings in
// dB relative to full scale, from a floor for silence to a ceiling.
#pragma once

#include <cstdint>

namespace ka813 {

// The largest magnitude among the samples; a NaN counts as nothing.
float peakOf(const float* samples, int32_t frames);

class LevelMeter {
public:
    static constexpr float kFloorDb = -70.f;
    static constexpr float kCeilingDb = 30.f;
    static constexpr double kHoldSeconds = 1.0;
    static constexpr double kFallDbPerSecond = 20.0 / 1.7;

    // Frames per second of the blocks measured; the reading is kept.
    void setRate(float hostRate);
    // Back to the floor, as after a long silence.
    void reset();
    // One block: its largest magnitude and its length in frames.
    void take(float peak, int32_t frames);
    float db() const { return static_cast<float>(level); }

private:
    double level = kFloorDb;
    double holdFramesLeft = 0.0;
    double holdFrames = 0.0;
    double fallPerFrame = 0.0;
};

}  // namespace ka813
