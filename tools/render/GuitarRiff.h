// A built-in guitar DI: a ten-second riff of palm-muted chugs, power chords
// and a single-note lick on six plucked strings, as a guitar's bridge pickup
// would hand it to a preamp. The same rate always gives the same samples.
#pragma once

#include <vector>

namespace ka813::render {

constexpr double kRiffSeconds = 10.0;
constexpr double kRiffPeakDecibels = -10.0;

// The riff, mono, at the given rate, scaled to peak at kRiffPeakDecibels.
std::vector<float> guitarRiff(double sampleRate);

}  // namespace ka813::render
