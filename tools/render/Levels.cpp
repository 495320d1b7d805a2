#include "tools/render/Levels.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace ka813::render {

Level measureLevel(const std::vector<float>& samples)
{
    Level level;
    double sumOfSquares = 0.0;
    for (float sample : samples) {
        if (!std::isfinite(sample)) {
            level.finite = false;
            continue;
        }
        double magnitude = std::fabs(static_cast<double>(sample));
        if (magnitude > level.peak)
            level.peak = magnitude;
        sumOfSquares += magnitude * magnitude;
    }
    if (!samples.empty())
        level.rms = std::sqrt(sumOfSquares / static_cast<double>(samples.size()));
    return level;
}

double toDecibels(double linear)
{
    if (linear <= 0.0)
        return -std::numeric_limits<double>::infinity();
    return 20.0 * std::log10(linear);
}

std::string formatDecibels(double linear, bool finite)
{
    if (!finite)
        return "NaN!";
    if (linear <= 0.0)
        return "-inf";
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", toDecibels(linear));
    return text;
}

}  // namespace ka813::render
