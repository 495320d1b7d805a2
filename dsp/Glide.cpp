#include "dsp/Glide.h"

#include <cmath>

namespace ka813 {

namespace {

inline double towards(double position, double target, double step)
{
    const bool onTravel = position >= 0.0 && position <= 1.0 && target >= 0.0 && target <= 1.0;
    if (!onTravel || !(std::fabs(position - target) > step))
        return target;
    return position < target ? position + step : position - step;
}

}  // namespace

void Glide::moveFor(double target, int32_t frames, float hostRate)
{
    at = towards(at, target, frames / (secondsFor(target) * hostRate));
}

void Glide::run(double target, float hostRate, double* positions, int32_t frames)
{
    const double step = 1.0 / (secondsFor(target) * hostRate);
    for (int32_t i = 0; i < frames; ++i)
        positions[i] = at = towards(at, target, step);
}

}  // namespace ka813
