// Glides: what makes a change of the circuit or of a tone knob sound like a
// hand on the control instead of a click. A switch that alters a channel's
// circuit does not jump between the channel's two designs: its position
// moves from 0 to 1 or back over a fixed time, and meanwhile the channel
// runs both designs and mixes them by the position. A tone knob's jump moves
// the tone stack's knob in the same way.
#pragma once

#include <cstdint>

namespace ka813 {

// A channel's switches that glide, by their place among its positions.
enum GlidingSwitch : int32_t { kBottomGlide, kBrightGlide, kFocusGlide, kModeGlide, kGlideCount };

// The mix by a position: a while p is 0, b once it is 1, a straight line
// between.
template <class Lane>
inline Lane glide(const Lane a, const Lane b, double p)
{
    return a + (b - a) * p;
}

// A position gliding in a straight line to its target over the travel 0 to
// 1, at its own pace in each direction. A position or a target beyond the
// travel (hosts may send any value, NaN included) goes to the target at once.
class Glide {
public:
    // Seconds for the whole travel, up (towards 1) and down.
    constexpr explicit Glide(double seconds) : Glide(seconds, seconds) {}
    constexpr Glide(double secondsUp, double secondsDown) : secondsUp(secondsUp), secondsDown(secondsDown) {}

    double position() const { return at; }
    bool restsAt(double target) const { return at == target; }
    // At the target at once.
    void settle(double target) { at = target; }
    // Towards the target by as far as it travels in frames host frames.
    void moveFor(double target, int32_t frames, float hostRate);
    // Towards the target frame by frame; positions[i] is where frame i
    // leaves it.
    void run(double target, float hostRate, double* positions, int32_t frames);

private:
    double secondsFor(double target) const { return target > at ? secondsUp : secondsDown; }

    double secondsUp, secondsDown;
    double at = 0.0;
};

}  // namespace ka813
