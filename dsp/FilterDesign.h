#pragma once

#include "dsp/Biquad.h"

namespace ka813 {

// Bilinear designs with prewarping, K = tan(kTwoPi * f / rate * 0.5); the
// analogue prototypes are normalised to s = 1 at f. f and rate in Hz, rate the
// rate the section runs at. Every designer clears the section's history.

// 1 / (s^2 + s/Q + 1)
void designLowpass(Biquad& section, double f, double Q, double rate);

// s^2 / (s^2 + s/Q + 1)
void designHighpass(Biquad& section, double f, double Q, double rate);

// The numerator b0 = g K^2 + r K + 1, b1 = 2 (g K^2 - 1), b2 = g K^2 - r K + 1,
// r = sqrt(2g), is the prototype (s^2 + r s + g) / (s^2 + s/Q + 1): gain g at
// DC and unity towards the top (so g > 1 lifts the bass, g < 1 cuts it).
void designHighShelf(Biquad& section, double f, double Q, double g, double rate);
void designHighShelf(ShelvingBiquad& section, double f, double Q, double g, double rate);

// b0 = g + r K + K^2, b1 = 2 (K^2 - g), b2 = g - r K + K^2, r = sqrt(2g): the
// prototype (g s^2 + r s + 1) / (s^2 + s/Q + 1), unity at DC, g towards the top.
void designLowShelf(Biquad& section, double f, double Q, double g, double rate);

// (s^2 + (g/Q) s + 1) / (s^2 + s/Q + 1): gain g at f, unity far from it.
void designPeak(Biquad& section, double f, double Q, double g, double rate);

// First-order sections from a time constant tau (seconds) and the period T.
// Lowpass: input = T / (T + tau), feedback = 1 - input; state cleared.
void setTimeConstant(OnePoleLowpass& section, double tau, double period);
// Highpass: m = tau / (T + tau); history cleared.
void setTimeConstant(OnePoleHighpass& section, double tau, double period);

}  // namespace ka813
