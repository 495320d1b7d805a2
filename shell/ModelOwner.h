// The amplifier model and who may touch it. The host's audio thread plays
// it; settings reach it through a hand-over that neither side waits for, and
// it is changed directly only while no audio runs.
#pragma once

#include <atomic>
#include <cstdint>

#include "dsp/AmpModel.h"
#include "shell/Handover.h"

namespace ka813 {

class ModelOwner {
public:
    // The model starts at its quiet operating point for these settings.
    ModelOwner(const AmpSettings& initial, float hostRate);

    // New settings or a new rate. One publisher at a time (whoever holds
    // the effect's state); never waits.
    void publish(const AmpSettings& settings, float hostRate);
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

    Handover<Request> handover;
    std::atomic<int32_t> holder{Lease::kNobody};
    std::atomic<bool> audioRunning{false};
    AmpModel amp;
};

}  // namespace ka813
