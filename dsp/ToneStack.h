#pragma once

#include <cstddef>

#include "dsp/Lanes.h"

namespace ka813 {

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
        follow(bass, mid, treble, contour);
        const double x = sample;
        const double y = B0 * x + z1;
        z1 = B1 * x + z2 - A1 * y;
        z2 = B2 * x + z3 - A2 * y;
        z3 = B3 * x - A3 * y;
        sample = y;
    }

    // The coefficients for these knob values, recomputed only when one of
    // them differs from the cached ones.
    void follow(const double& bass, const double& mid, const double& treble, const double& contour)
    {
        if (bass != cachedBass || mid != cachedMid || treble != cachedTreble
            || contour != cachedContour)
            updateCoefficients(bass, mid, treble, contour);
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

// The difference equation in any lane type with the coefficients as they
// stand on each side (follow them first); state in locals until store.
template <class Lane>
struct ToneStackStepper {
    Lane B0, B1, B2, B3, A1, A2, A3;
    Lane z1, z2, z3;

    [[gnu::always_inline]] ToneStackStepper(const ToneStack& l, const ToneStack& r)
        : B0(loadLanes<Lane>(l.B0, r.B0)),
          B1(loadLanes<Lane>(l.B1, r.B1)),
          B2(loadLanes<Lane>(l.B2, r.B2)),
          B3(loadLanes<Lane>(l.B3, r.B3)),
          A1(loadLanes<Lane>(l.A1, r.A1)),
          A2(loadLanes<Lane>(l.A2, r.A2)),
          A3(loadLanes<Lane>(l.A3, r.A3)),
          z1(loadLanes<Lane>(l.z1, r.z1)),
          z2(loadLanes<Lane>(l.z2, r.z2)),
          z3(loadLanes<Lane>(l.z3, r.z3))
    {
    }

    [[gnu::always_inline]] Lane step(const Lane x)
    {
        const Lane y = B0 * x + z1;
        z1 = B1 * x + z2 - A1 * y;
        z2 = B2 * x + z3 - A2 * y;
        z3 = B3 * x - A3 * y;
        return y;
    }

    [[gnu::always_inline]] void store(ToneStack& l, ToneStack& r) const
    {
        storeLanes(z1, l.z1, r.z1);
        storeLanes(z2, l.z2, r.z2);
        storeLanes(z3, l.z3, r.z3);
    }
};

}  // namespace ka813
