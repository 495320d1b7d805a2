// Knob positions (nominally 0 to 1) to the model's gains. Polynomials fitted
// to the taper of the original potentiometers; nothing is clamped, so values
// beyond the travel extrapolate.
#pragma once

namespace ka813 {

// Drive knob to drive gain: 0.086128 at 0, 0.295166875 at 0.5, 0.996495 at 1.
inline double driveCurve(double position)
{
    return 0.770975 * position * position * position - 0.171884 * position * position
           + 0.311276 * position + 0.086128;
}

// Channel A's second drive gain, from the drive gain d (not the knob):
// 0.0540843 at drive(0), 0.6214377 at drive(1).
inline double shapedDrive(double d)
{
    return 0.75 * (0.590752 * d * d * d - 0.645902 * d * d + 0.888518 * d);
}

// Contour knob to the channel's output gain: 0.5225 at 0, 1.010475 at 0.5, 1.4446 at 1.
inline double contourCurve(double position)
{
    return 0.5225 + 1.0298 * position - 0.1077 * position * position;
}

}  // namespace ka813
