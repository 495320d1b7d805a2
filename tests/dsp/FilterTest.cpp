#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <complex>
#include <random>

#include "dsp/CircuitValues.h"
#include "dsp/FilterDesign.h"
#include "tests/dsp/SineMeasure.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr double kRate = 176400.0;

// Analogue prototype (A s^2 + B s + C) / (s^2 + s/Q + 1) at the frequency the
// bilinear transform maps f to, in dB.
double prototypeDb(double A, double B, double C, double Q, double f, double f0)
{
    const double omega = std::tan(kPi * f / kRate) / std::tan(kTwoPi * f0 / kRate * 0.5);
    const std::complex<double> s(0.0, omega);
    return toDb(std::abs((A * s * s + B * s + C) / (s * s + s / Q + 1.0)));
}

enum class Kind { Lowpass, HighShelf, LowShelf, Peak };

struct Design {
    Kind kind;
    double f, Q, g;
    double A, B, C;  // the prototype the design must realise
};

Biquad make(const Design& d)
{
    Biquad section{};
    switch (d.kind) {
    case Kind::Lowpass: designLowpass(section, d.f, d.Q, kRate); break;
    case Kind::HighShelf: designHighShelf(section, d.f, d.Q, d.g, kRate); break;
    case Kind::LowShelf: designLowShelf(section, d.f, d.Q, d.g, kRate); break;
    case Kind::Peak: designPeak(section, d.f, d.Q, d.g, kRate); break;
    }
    return section;
}

double r(double g) { return std::sqrt(2.0 * g); }

}  // namespace

TEST(FilterDesign, SinesThroughEachDesignFollowItsPrototype)
{
    // The model's own designs. The high shelf holds g at DC and unity towards
    // the top, the low shelf the reverse, the peak g at its centre.
    const Design designs[] = {
        {Kind::Lowpass, 3000, 0.7, 0, 0, 0, 1},
        {Kind::Lowpass, 5000, 0.7, 0, 0, 0, 1},
        {Kind::HighShelf, 300, 0.7, 1.75, 1, r(1.75), 1.75},
        {Kind::HighShelf, 5000, 0.7, 0.333, 1, r(0.333), 0.333},
        {Kind::HighShelf, 500, 0.7, 1.0, 1, r(1.0), 1.0},
        {Kind::LowShelf, 2000, 0.7, 7, 7, r(7), 1},
        {Kind::Peak, 4000, 1, 1.333, 1, 1.333 / 1, 1},
    };
    for (const Design& d : designs) {
        SCOPED_TRACE(testing::Message() << "kind " << static_cast<int>(d.kind) << " at " << d.f);
        for (const double f : {0.0, d.f, 80000.0}) {
            Biquad section = make(d);
            const double measured = sineGainDb([&](double& x) { section.process(x); }, f, kRate);
            EXPECT_NEAR(measured, prototypeDb(d.A, d.B, d.C, d.Q, f, d.f), 0.005) << f << " Hz";
        }
    }

    // The ends of the shelves, in plain numbers.
    Biquad bottom = make(designs[2]);
    EXPECT_NEAR(sineGainDb([&](double& x) { bottom.process(x); }, 0, kRate), toDb(1.75), 1e-6);
    Biquad top = make(designs[2]);
    EXPECT_NEAR(sineGainDb([&](double& x) { top.process(x); }, 80000, kRate), 0.0, 0.01);
    Biquad clean = make(designs[5]);
    EXPECT_NEAR(sineGainDb([&](double& x) { clean.process(x); }, 0, kRate), 0.0, 1e-6);
    Biquad peak = make(designs[6]);
    EXPECT_NEAR(sineGainDb([&](double& x) { peak.process(x); }, 4000, kRate), toDb(1.333), 0.001);
}

TEST(FilterDesign, LowpassCoefficientsAndUnityDcGain)
{
    Biquad section{};
    section.x1 = section.y2 = 3.0;
    designLowpass(section, 3000, 0.7, kRate);
    const double K = std::tan(6.28319304 * 3000 / 176400 * 0.5);
    EXPECT_EQ(section.b0, K * K);
    EXPECT_EQ(section.b2, K * K);
    EXPECT_EQ(section.b1, 2 * K * K);
    const double dc = (section.b0 + section.b1 + section.b2) * section.invA0
                      / (1 + (section.a1 + section.a2) * section.invA0);
    EXPECT_NEAR(dc, 1.0, 1e-12);
    EXPECT_EQ(section.x1, 0.0);  // a design starts from silence
    EXPECT_EQ(section.y2, 0.0);
}

TEST(FilterDesign, UnityPeakIsAWire)
{
    Biquad section{};
    designPeak(section, 4000, 1, 1.0, kRate);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> noise(-100.0, 100.0);
    for (int n = 0; n < 10000; ++n) {
        const double x = noise(random);
        double y = x;
        section.process(y);
        ASSERT_NEAR(y, x, 1e-11);
    }
}

TEST(ShelvingBiquad, RederivesItsNumeratorOncePerGainChange)
{
    ShelvingBiquad shelf{};
    designHighShelf(shelf, 3000, 0.7, 0.333, kRate);
    EXPECT_EQ(shelf.k, std::tan(kTwoPi * 3000 / kRate * 0.5));
    EXPECT_EQ(shelf.k2, shelf.k * shelf.k);
    EXPECT_EQ(shelf.gain, 0.333);

    // A marker in the numerator survives every sample that brings no new gain.
    const double sameGain = 0.333, sameRoot = std::sqrt(2 * 0.333);
    shelf.b0 = 42.0;
    double sample = 0.25;
    shelf.processWithGain(sameGain, sameRoot, sample);
    EXPECT_EQ(shelf.b0, 42.0);

    const double gain = 0.6, root = std::sqrt(1.2);
    sample = 0.25;
    shelf.processWithGain(gain, root, sample);
    EXPECT_NE(shelf.b0, 42.0);
    EXPECT_EQ(shelf.gain, 0.6);
    EXPECT_NE(shelf.x2, 0.0);  // history kept across the change
    shelf.b0 = 42.0;
    for (int n = 0; n < 100; ++n)
        shelf.processWithGain(gain, root, sample);
    EXPECT_EQ(shelf.b0, 42.0);

    // The re-derived numerator is a shelf with the new gain at DC.
    ShelvingBiquad glide{};
    designHighShelf(glide, 3000, 0.7, 0.333, kRate);
    const double atDc = sineGainDb([&](double& x) { glide.processWithGain(gain, root, x); }, 0, kRate);
    EXPECT_NEAR(atDc, toDb(0.6), 1e-6);
    const double atTop =
        sineGainDb([&](double& x) { glide.processWithGain(gain, root, x); }, 80000, kRate);
    EXPECT_NEAR(atTop, 0.0, 0.05);
}

TEST(OnePole, CornersAtTheirTimeConstants)
{
    const double period = 1.0 / kRate;
    const double lowTau = 0.00063662 / 3;  // 750 Hz
    OnePoleLowpass lowpass{0, 0, 5.0};
    setTimeConstant(lowpass, lowTau, period);
    EXPECT_EQ(lowpass.state, 0.0);
    EXPECT_EQ(lowpass.feedback, 1.0 - lowpass.input);
    EXPECT_NEAR(sineGainDb([&](double& x) { lowpass.process(x); }, 0, kRate), 0.0, 1e-9);
    setTimeConstant(lowpass, lowTau, period);
    EXPECT_NEAR(sineGainDb([&](double& x) { lowpass.process(x); }, 750, kRate), -3.01, 0.1);

    OnePoleHighpass highpass{0, 5.0, 5.0};
    setTimeConstant(highpass, 0.00063662, period);  // 250 Hz
    EXPECT_EQ(highpass.lastInput, 0.0);
    EXPECT_EQ(highpass.lastOutput, 0.0);
    EXPECT_LT(sineGainDb([&](double& x) { highpass.process(x); }, 0, kRate), -100.0);
    setTimeConstant(highpass, 0.00063662, period);
    EXPECT_NEAR(sineGainDb([&](double& x) { highpass.process(x); }, 250, kRate), -3.01, 0.05);
    setTimeConstant(highpass, 0.00063662, period);
    EXPECT_NEAR(sineGainDb([&](double& x) { highpass.process(x); }, 20000, kRate), 0.0, 0.05);
}
