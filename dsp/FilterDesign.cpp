#include "dsp/FilterDesign.h"

#include <cmath>

#include "dsp/CircuitValues.h"

namespace ka813 {

namespace {

// Prewarped bilinear frequency of f at rate.
double prewarp(double f, double rate) { return std::tan(kTwoPi * f / rate * 0.5); }

// Denominator shared by every design: s^2 + s/Q + 1. Clears the history.
template <typename Section>
void setDenominator(Section& section, double K, double K2, double Q)
{
    section.invA0 = 1.0 / (K2 + K / Q + 1.0);
    section.a1 = 2.0 * (K2 - 1.0);
    section.a2 = K2 + 1.0 - K / Q;
    section.x1 = 0.0;
    section.x2 = 0.0;
    section.y1 = 0.0;
    section.y2 = 0.0;
}

template <typename Section>
void setHighShelf(Section& section, double K, double K2, double Q, double g)
{
    const double r = std::sqrt(2.0 * g);
    setDenominator(section, K, K2, Q);
    section.b0 = g * K2 + r * K + 1.0;
    section.b1 = 2.0 * (g * K2 - 1.0);
    section.b2 = g * K2 - r * K + 1.0;
}

}  // namespace

void designLowpass(Biquad& section, double f, double Q, double rate)
{
    const double K = prewarp(f, rate);
    const double K2 = K * K;
    setDenominator(section, K, K2, Q);
    section.b0 = K2;
    section.b1 = 2.0 * K2;
    section.b2 = K2;
}

void designHighpass(Biquad& section, double f, double Q, double rate)
{
    const double K = prewarp(f, rate);
    setDenominator(section, K, K * K, Q);
    section.b0 = 1.0;
    section.b1 = -2.0;
    section.b2 = 1.0;
}

void designHighShelf(Biquad& section, double f, double Q, double g, double rate)
{
    const double K = prewarp(f, rate);
    setHighShelf(section, K, K * K, Q, g);
}

void designHighShelf(ShelvingBiquad& section, double f, double Q, double g, double rate)
{
    const double K = prewarp(f, rate);
    const double K2 = K * K;
    setHighShelf(section, K, K2, Q, g);
    section.k = K;
    section.k2 = K2;
    section.gain = g;
}

void designLowShelf(Biquad& section, double f, double Q, double g, double rate)
{
    const double K = prewarp(f, rate);
    const double K2 = K * K;
    const double r = std::sqrt(2.0 * g);
    setDenominator(section, K, K2, Q);
    section.b0 = g + r * K + K2;
    section.b1 = 2.0 * (K2 - g);
    section.b2 = g - r * K + K2;
}

void designPeak(Biquad& section, double f, double Q, double g, double rate)
{
    const double K = prewarp(f, rate);
    const double K2 = K * K;
    setDenominator(section, K, K2, Q);
    section.b0 = K2 + K * g / Q + 1.0;
    section.b1 = 2.0 * (K2 - 1.0);
    section.b2 = K2 - K * g / Q + 1.0;
}

void setTimeConstant(OnePoleLowpass& section, double tau, double period)
{
    section.input = period / (period + tau);
    section.feedback = 1.0 - section.input;
    section.state = 0.0;
}

void setTimeConstant(OnePoleHighpass& section, double tau, double period)
{
    section.coefficient = tau / (period + tau);
    section.lastOutput = 0.0;
    section.lastInput = 0.0;
}

}  // namespace ka813
