#pragma once

#include <cstddef>

#include "dsp/Lanes.h"

// Passive treble/middle/bass network with a fourth resistor scaled by the
// contour knob. Capacitors in farads, resistors in ohms.
struct ToneStackComponents {
    double C1;  // treble capacitor
    double C2;  // bass capacitor
    double C3;  // middle capacitor
    double R1;  // treble potentiometer
    double R2;  // bass potentiometer
    double R3;  // middle potentiometer
    double R4;  // fourth resistor, times the contour value
};

// Switch value 0, "Open".
constexpr ToneStackComponents kToneStackOpen{2.2e-10, 4.4e-8, 3.2e-8, 250000.0, 1000000.0, 25000.0, 94000.0};
// Switch value 1, "Focus".
constexpr ToneStackComponents kToneStackFocus{2.2e-10, 4.4e-8, 2.8e-8, 250000.0, 1000000.0, 10000.0, 136000.0};

// Third-order analogue transfer function
//   H(s) = (b1 s + b2 s^2 + b3 s^3) / (1 + a1 s + a2 s^2 + a3 s^3)
// whose coefficients are polynomials in the knobs, taken to z by the bilinear
// transform (c = 2 * rate, no prewarping) and run in transposed direct form II.
// The coefficients follow the knobs lazily: they are recomputed on the first
// sample after any knob value changed.
class ToneStack {
public:
    // Monomials of the knob values each analogue coefficient is built from.
    enum Term { kConstant, kT, kM, kMM, kL, kLM, kTM, kTL, kTermCount };
    enum Coefficient { kB1, kB2, kB3, kA1, kA2, kA3, kCoefficientCount };

    // Stores the component products, clears the history and invalidates the
    // cached knob values so the next sample computes the coefficients.
    void design(const ToneStackComponents& components, double rate);

    // Knob values 0 to 1, only read; values beyond act as the nearer end.
    // bass goes through the audio taper.
    void process(const double& bass, const double& mid, const double& treble,
                 const double& contour, double& sample)
    {
        if (bass != cachedBass || mid != cachedMid || treble != cachedTreble
            || contour != cachedContour)
            updateCoefficients(bass, mid, treble, contour);
        const double x = sample;
        const double y = B0 * x + z1;
        z1 = B1 * x + z2 - A1 * y;
        z2 = B2 * x + z3 - A2 * y;
        z3 = B3 * x - A3 * y;
        sample = y;
    }

    // The bass knob's audio taper.
    static double bassTaper(double bass);

    // Bilinear constant and its powers.
    double c, c2, c3;
    // Component products per analogue coefficient and knob term: the part
    // independent of R4 and the part proportional to R4 (times contour).
    double fixedProducts[kCoefficientCount][kTermCount];
    double contourProducts[kCoefficientCount][kTermCount];
    // Normalised difference equation (A0 divided out).
    double B0, B1, B2, B3, A1, A2, A3;
    double z1, z2, z3;
    // Knob values the coefficients belong to (bass raw, before the taper).
    double cachedBass, cachedMid, cachedTreble, cachedContour;
    // How often the coefficients were recomputed since the last design.
    unsigned long recomputations;

private:
    void updateCoefficients(double bass, double mid, double treble, double contour);
};

template <size_t G>
inline void runGroup(ToneStack& stack, ToneStack&, double (&samples)[G], const double& bass,
                     const double& mid, const double& treble, const double& contour)
{
    for (double& sample : samples)
        stack.process(bass, mid, treble, contour, sample);
}

// Each side follows the knobs with its own cache.
template <size_t G>
inline void runGroup(ToneStack& l, ToneStack& r, DoublePair (&samples)[G], const double& bass,
                     const double& mid, const double& treble, const double& contour)
{
    runSidesApart(l, r, samples, [&](ToneStack& side, double(&group)[G]) {
        runGroup(side, side, group, bass, mid, treble, contour);
    });
}
