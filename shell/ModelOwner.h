// The one way from parameter values to sound, for every plug-in format: the
// values become the model's settings, which reach the model through a
// hand-over that neither side waits for. The host's audio thread plays the
// model; it is changed directly only while no audio runs.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/AmpModel.h"
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

private:
    struct Request {
        AmpSettings settings;
        float hostRate;
    };
    // Whoever holds the lease.
    void take();

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
};

}  // namespace ka813
