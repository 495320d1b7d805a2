// Peak and RMS levels of a channel, in dB relative to full scale.
#pragma once

#include <string>
#include <vector>

namespace ka813::render {

struct Level {
    double peak = 0.0;  // largest magnitude, linear
    double rms = 0.0;   // linear
    bool finite = true; // false when the channel holds NaN or infinity
};

Level measureLevel(const std::vector<float>& samples);

// 20 log10 of a linear level; minus infinity for silence.
double toDecibels(double linear);

// "-10.0", "-inf" for silence, "NaN!" for a channel that is not finite.
std::string formatDecibels(double linear, bool finite = true);

}  // namespace ka813::render
