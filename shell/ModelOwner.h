// The one way from parameter values to sound, for every plug-in format: the
// values become the model's settings, which reach the model through a
// hand-over that neither side waits for. The host's audio thread plays the
// model; it is changed directly only while no audio runs.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/AmpModel.h"
#include "dsp/LevelMeter.h"
#include "shell/Handover.h"
#include "shell/ParameterTable.h"

namespace ka813 {

class ModelOwner {
public:
    using Values = float[kNumParameters];

    // The model starts at its quiet operating point for these values.
    ModelOwner(const Values& initial, float hostRate);

    // New values or a new rate, all 23 values at once, so that the same
    // values always make the same settings. One publisher at a time (whoever
    // holds the effect's state, or the LV2 run); never waits.
    void publish(const Values& values, float hostRate);
    // While no audio runs, the model takes what was published at once.
    // Any thread, after publishing.
    void applyIfIdle();

    // The host stops and starts the stream; a start plays from the quiet
    // state, so what plays does not depend on what played before the stop.
    void suspend();
    void resume();

    // The host's audio thread: the newest settings, then one block.
    void process(const float* const* inputs, float* const* outputs, int32_t frames);

    // For inspection while no audio runs.
    const AmpModel& model() const { return amp; }

    // The level of what arrives (before Input: the sides the model reads)
    // and of what leaves (after Volume), in dBFS by LevelMeter's rule. Any
    // thread; they fall to the floor while the stream is stopped.
    enum class Meter : int32_t { kInput, kOutput };
    float level(Meter meter) const
    {
        return (meter == Meter::kInput ? inputLevel : outputLevel).load(std::memory_order_relaxed);
    }
    // The audio thread, for a block that bypassed the model: what came in
    // and what went out instead.
    void meterBypassed(const float* const* inputs, const float* const* outputs, int32_t frames);

private:
    struct Request {
        AmpSettings settings;
        float hostRate;
    };
    // Whoever holds the lease.
    void take();
    // The audio thread: the largest input sample of a block before it
    // plays (the outputs may be the inputs), the largest output sample of
    // both sides, then the block's levels.
    float inputPeak(const float* const* inputs, int32_t frames) const;
    static float outputPeak(const float* const* outputs, int32_t frames);
    void meter(float inputPeakOfBlock, float outputPeakOfBlock, int32_t frames);

    // The newest settings, from the publisher to whoever touches the model.
    Handover<Request> handover;
    // Who touches the model now: the audio thread, or a control thread
    // applying settings while no audio runs (so inspection and the quiet
    // start see them). Neither waits for it.
    std::atomic<int32_t> holder{Lease::kNobody};
    // While the stream runs, control threads leave the model to the audio
    // thread, so that no block goes silent for want of the lease.
    std::atomic<bool> audioRunning{false};
    AmpModel amp;
    // Owned by the audio thread; the readings go out through the atomics.
    LevelMeter inputMeter, outputMeter;
    float meteredRate = 0.f;
    std::atomic<float> inputLevel{LevelMeter::kFloorDb}, outputLevel{LevelMeter::kFloorDb};
    static_assert(std::atomic<float>::is_always_lock_free, "the audio thread never locks");
};

}  // namespace ka813
