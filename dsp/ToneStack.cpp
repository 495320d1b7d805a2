#include "dsp/ToneStack.h"

namespace ka813 {

namespace {
// No knob reaches this value, so the first sample after a design always
// computes the coefficients.
constexpr double kInvalidKnob = 10.0;

// The network is only defined over its potentiometers' travel; positions
// beyond it (hosts may send any value, NaN included) would move poles outside
// the unit circle and blow the stack up.
double travel(double position) { return position > 1.0 ? 1.0 : (position > 0.0 ? position : 0.0); }
}  // namespace

double ToneStack::bassTaper(double bass)
{
    return (((2.42967 * bass - 2.60851) * bass + 1.27667) * bass - 0.11313) * bass + 0.01236;
}

void ToneStack::design(const ToneStackComponents& components, double rate)
{
    const double C1 = components.C1, C2 = components.C2, C3 = components.C3;
    const double R1 = components.R1, R2 = components.R2, R3 = components.R3;
    const double R4 = components.R4;
    const double S = C1 * C2 * C3;
    const double R3sq = R3 * R3;

    for (auto& row : fixedProducts)
        for (double& product : row)
            product = 0.0;
    for (auto& row : contourProducts)
        for (double& product : row)
            product = 0.0;

    // Each analogue coefficient, term by term: fixedProducts holds the part
    // free of R4, contourProducts the part proportional to R4 (process scales
    // it by the contour knob, so contour 0 removes R4 without any division).
    double(&f)[kCoefficientCount][kTermCount] = fixedProducts;
    double(&r)[kCoefficientCount][kTermCount] = contourProducts;

    // b1 = t C1 R1 + m C3 R3 + l (C1 + C2) R2 + (C1 + C2) R3
    f[kB1][kT] = C1 * R1;
    f[kB1][kM] = C3 * R3;
    f[kB1][kL] = (C1 + C2) * R2;
    f[kB1][kConstant] = (C1 + C2) * R3;

    // b2 = t (C1C2 + C1C3) R1 R4 - m^2 (C1C3 + C2C3) R3^2
    //    + m (C1C3 R1R3 + C1C3 R3^2 + C2C3 R3^2) + l (C1C2 R1R2 + (C1C2 + C1C3) R2R4)
    //    + l m (C1C3 + C2C3) R2R3 + C1C2 R1R3 + (C1C2 + C1C3) R3R4
    r[kB2][kT] = (C1 * C2 + C1 * C3) * R1 * R4;
    f[kB2][kMM] = -(C1 * C3 + C2 * C3) * R3sq;
    f[kB2][kM] = C1 * C3 * R1 * R3 + C1 * C3 * R3sq + C2 * C3 * R3sq;
    f[kB2][kL] = C1 * C2 * R1 * R2;
    r[kB2][kL] = (C1 * C2 + C1 * C3) * R2 * R4;
    f[kB2][kLM] = (C1 * C3 + C2 * C3) * R2 * R3;
    f[kB2][kConstant] = C1 * C2 * R1 * R3;
    r[kB2][kConstant] = (C1 * C2 + C1 * C3) * R3 * R4;

    // b3 = l m S (R1R2R3 + R2R3R4) - m^2 S (R1R3^2 + R3^2 R4) + m S (R1R3^2 + R3^2 R4)
    //    + t S R1R3R4 - t m S R1R3R4 + t l S R1R2R4
    f[kB3][kLM] = S * R1 * R2 * R3;
    r[kB3][kLM] = S * R2 * R3 * R4;
    f[kB3][kMM] = -S * R1 * R3sq;
    r[kB3][kMM] = -S * R3sq * R4;
    f[kB3][kM] = S * R1 * R3sq;
    r[kB3][kM] = S * R3sq * R4;
    r[kB3][kT] = S * R1 * R3 * R4;
    r[kB3][kTM] = -S * R1 * R3 * R4;
    r[kB3][kTL] = S * R1 * R2 * R4;

    // a1 = C1R1 + C1R3 + C2R3 + (C2 + C3) R4 + m C3R3 + l (C1 + C2) R2
    f[kA1][kConstant] = C1 * R1 + C1 * R3 + C2 * R3;
    r[kA1][kConstant] = (C2 + C3) * R4;
    f[kA1][kM] = C3 * R3;
    f[kA1][kL] = (C1 + C2) * R2;

    // a2 = m (C1C3 R1R3 - C2C3 R3R4 + C1C3 R3^2 + C2C3 R3^2) + l m (C1C3 + C2C3) R2R3
    //    - m^2 (C1C3 + C2C3) R3^2 + l (C1C2 R1R2 + (C1C2 + C1C3 + C2C3) R2R4)
    //    + C1C2 R1R3 + (C1C2 R1 + C1C3 R1 + C1C2 R3 + C1C3 R3 + C2C3 R3) R4
    f[kA2][kM] = C1 * C3 * R1 * R3 + C1 * C3 * R3sq + C2 * C3 * R3sq;
    r[kA2][kM] = -C2 * C3 * R3 * R4;
    f[kA2][kLM] = (C1 * C3 + C2 * C3) * R2 * R3;
    f[kA2][kMM] = -(C1 * C3 + C2 * C3) * R3sq;
    f[kA2][kL] = C1 * C2 * R1 * R2;
    r[kA2][kL] = (C1 * C2 + C1 * C3 + C2 * C3) * R2 * R4;
    f[kA2][kConstant] = C1 * C2 * R1 * R3;
    r[kA2][kConstant] = (C1 * C2 * R1 + C1 * C3 * R1 + C1 * C2 * R3 + C1 * C3 * R3 + C2 * C3 * R3) * R4;

    // a3 = l m S (R1R2R3 + R2R3R4) - m^2 S (R1R3^2 + R3^2 R4)
    //    + m S (R3^2 R4 + R1R3^2 - R1R3R4) + l S R1R2R4 + S R1R3R4
    f[kA3][kLM] = S * R1 * R2 * R3;
    r[kA3][kLM] = S * R2 * R3 * R4;
    f[kA3][kMM] = -S * R1 * R3sq;
    r[kA3][kMM] = -S * R3sq * R4;
    f[kA3][kM] = S * R1 * R3sq;
    r[kA3][kM] = S * R3sq * R4 - S * R1 * R3 * R4;
    r[kA3][kL] = S * R1 * R2 * R4;
    r[kA3][kConstant] = S * R1 * R3 * R4;

    c = 2.0 * rate;
    c2 = c * c;
    c3 = c2 * c;

    B0 = B1 = B2 = B3 = 0.0;
    A1 = A2 = A3 = 0.0;
    z1 = z2 = z3 = 0.0;
    cachedBass = cachedMid = cachedTreble = cachedContour = kInvalidKnob;
    recomputations = 0;
}

void ToneStack::updateCoefficients(double bass, double mid, double treble, double contour)
{
    cachedBass = bass;
    cachedMid = mid;
    cachedTreble = treble;
    cachedContour = contour;
    ++recomputations;

    const double l = bassTaper(travel(bass));
    const double m = travel(mid);
    const double t = travel(treble);
    const double k = travel(contour);

    double term[kTermCount];
    term[kConstant] = 1.0;
    term[kT] = t;
    term[kM] = m;
    term[kMM] = m * m;
    term[kL] = l;
    term[kLM] = l * m;
    term[kTM] = t * m;
    term[kTL] = t * l;

    double analogue[kCoefficientCount];
    for (int i = 0; i < kCoefficientCount; ++i) {
        double sum = 0.0;
        for (int j = 0; j < kTermCount; ++j)
            sum += term[j] * (fixedProducts[i][j] + k * contourProducts[i][j]);
        analogue[i] = sum;
    }
    const double b1 = analogue[kB1], b2 = analogue[kB2], b3 = analogue[kB3];
    const double a1 = analogue[kA1], a2 = analogue[kA2], a3 = analogue[kA3];

    // Bilinear transform, s = c (1 - z^-1) / (1 + z^-1).
    const double a0 = -1.0 - a1 * c - a2 * c2 - a3 * c3;
    const double inv = 1.0 / a0;
    A1 = (-3.0 - a1 * c + a2 * c2 + 3.0 * a3 * c3) * inv;
    A2 = (-3.0 + a1 * c + a2 * c2 - 3.0 * a3 * c3) * inv;
    A3 = (-1.0 + a1 * c - a2 * c2 + a3 * c3) * inv;
    B0 = (-b1 * c - b2 * c2 - b3 * c3) * inv;
    B1 = (-b1 * c + b2 * c2 + 3.0 * b3 * c3) * inv;
    B2 = (b1 * c + b2 * c2 - 3.0 * b3 * c3) * inv;
    B3 = (b1 * c - b2 * c2 + b3 * c3) * inv;
}

}  // namespace ka813
