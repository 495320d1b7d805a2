// The bypass behind the lv2:enabled port: the dry input delayed by the
// latency the plug-in reports, so that it stays aligned with the other tracks
// and does not comb-filter against the amplifier while the two cross-fade,
// and the fade's position. Fixed size: nothing here allocates.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

#include "lv2/Latency.h"

namespace ka813::lv2 {

class Bypass {
public:
    // About 20 ms at any rate.
    explicit Bypass(float hostRate)
        : fadeFrames(hostRate >= 50.f ? static_cast<int32_t>(std::lround(0.02 * hostRate)) : 1)
    {
    }

    // A stream starts: no past input, and no fade from what played before.
    void start(bool enabled)
    {
        std::memset(history, 0, sizeof history);
        position = enabled ? 0 : fadeFrames;
    }

    bool fullyEnabled() const { return position == 0; }
    bool fullyBypassed() const { return position == fadeFrames; }

    // Keeps the last inputs of a block the amplifier plays alone.
    void remember(const float* const* inputs, int32_t frames)
    {
        for (int32_t side = 0; side < 2; ++side) {
            float* past = history[side];
            if (frames >= kKept) {
                std::memcpy(past, inputs[side] + frames - kKept, sizeof history[side]);
            } else {
                std::memmove(past, past + frames, sizeof(float) * static_cast<size_t>(kKept - frames));
                std::memcpy(past + kKept - frames, inputs[side], sizeof(float) * static_cast<size_t>(frames));
            }
        }
    }

    // The most frames one piece holds: a longer block is bypassed in pieces.
    static constexpr int32_t kPieceFrames = 4096;

    // Copies a piece's inputs after the kept ones, before the amplifier may
    // overwrite them in place, and keeps its last ones for the next piece.
    void takePiece(const float* const* inputs, int32_t frames)
    {
        for (int32_t side = 0; side < 2; ++side) {
            std::memcpy(dry[side], history[side], sizeof history[side]);
            std::memcpy(dry[side] + kKept, inputs[side], sizeof(float) * static_cast<size_t>(frames));
            std::memcpy(history[side], dry[side] + frames, sizeof history[side]);
        }
    }

    // The taken piece, delayed, in place of the outputs: fully bypassed.
    void playDry(float* const* outputs, int32_t frames, int32_t latency) const
    {
        for (int32_t side = 0; side < 2; ++side)
            std::memcpy(outputs[side], dry[side] + kKept - latency, sizeof(float) * static_cast<size_t>(frames));
    }

    // Mixes the taken piece, delayed, into the amplifier's outputs while
    // the fade moves one frame at a time towards the port's state. Equal
    // power (cosine and sine): the amplifier and the dry guitar are not in
    // phase (channel A's three stages invert, B's four do not, and both
    // filter), so their powers add, and equal power never dips deeper than
    // a straight-line fade.
    void mix(float* const* outputs, int32_t frames, int32_t latency, bool enabled)
    {
        const float* delayed[2] = {dry[0] + kKept - latency, dry[1] + kKept - latency};
        for (int32_t k = 0; k < frames; ++k) {
            if (enabled ? position > 0 : position < fadeFrames)
                position += enabled ? -1 : 1;
            const double angle = kQuarterTurn * position / fadeFrames;
            const double wet = position == fadeFrames ? 0.0 : std::cos(angle);
            const double bypassed = position == 0 ? 0.0 : position == fadeFrames ? 1.0 : std::sin(angle);
            for (int32_t side = 0; side < 2; ++side)
                outputs[side][k] = static_cast<float>(wet * outputs[side][k] + bypassed * delayed[side][k]);
        }
    }

private:
    static constexpr int32_t kKept = kMostLatencyFrames;
    static constexpr double kQuarterTurn = 1.5707963267948966;

    const int32_t fadeFrames;
    // 0: the amplifier plays; fadeFrames: bypassed.
    int32_t position = 0;
    // Per side, the last inputs, oldest first.
    float history[2][kKept] = {};
    // A piece's inputs after the kept ones.
    float dry[2][kKept + kPieceFrames] = {};
};

}  // namespace ka813::lv2
