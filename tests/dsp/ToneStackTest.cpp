#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "dsp/ToneStack.h"
#include "tests/dsp/SineMeasure.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr double kRate = 176400.0;

// Tolerance of half a unit in the sixth significant digit.
double sixDigits(double value)
{
    return 0.51 * std::pow(10.0, std::floor(std::log10(std::fabs(value))) - 5.0);
}

struct Knobs {
    double bass, mid, treble, contour;
};

double stackGainDb(const ToneStackComponents& components, const Knobs& knobs, double frequency)
{
    ToneStack stack{};
    stack.design(components, kRate);
    return sineGainDb(
        [&](double& x) { stack.process(knobs.bass, knobs.mid, knobs.treble, knobs.contour, x); },
        frequency, kRate);
}

}  // namespace

TEST(ToneStack, WorkedExampleAtHalfKnobs)
{
    struct Expected {
        const ToneStackComponents* components;
        double B0, B1, B2, B3, A1, A2, A3;
    };
    const Expected variants[] = {
        {&kToneStackFocus, 0.503857, -1.50391, 1.49639, -0.496343, -2.89806, 2.79657, -0.898504},
        {&kToneStackOpen, 0.556288, -1.65363, 1.63858, -0.541241, -2.90065, 2.8017, -0.901058},
    };
    const double half = 0.5, full = 1.0;
    for (const Expected& e : variants) {
        ToneStack stack{};
        stack.design(*e.components, kRate);
        double sample = 0.0;
        stack.process(half, half, half, full, sample);
        EXPECT_NEAR(stack.B0, e.B0, sixDigits(e.B0));
        EXPECT_NEAR(stack.B1, e.B1, sixDigits(e.B1));
        EXPECT_NEAR(stack.B2, e.B2, sixDigits(e.B2));
        EXPECT_NEAR(stack.B3, e.B3, sixDigits(e.B3));
        EXPECT_NEAR(stack.A1, e.A1, sixDigits(e.A1));
        EXPECT_NEAR(stack.A2, e.A2, sixDigits(e.A2));
        EXPECT_NEAR(stack.A3, e.A3, sixDigits(e.A3));
    }

    const Knobs halfway{0.5, 0.5, 0.5, 1.0};
    const double frequencies[] = {100.0, 1000.0, 5000.0};
    const double magnitudes[] = {0.275, 0.150, 0.454};
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(std::pow(10.0, stackGainDb(kToneStackFocus, halfway, frequencies[i]) / 20.0),
                    magnitudes[i], 0.0006)
            << frequencies[i] << " Hz";
}

TEST(ToneStack, BlocksDcAndRunsWithContourAtZero)
{
    for (const double contour : {1.0, 0.0}) {
        SCOPED_TRACE(contour);
        for (const ToneStackComponents* components : {&kToneStackOpen, &kToneStackFocus}) {
            const Knobs knobs{0.5, 0.5, 0.5, contour};
            EXPECT_LT(stackGainDb(*components, knobs, 0.0), -100.0);
            const double midBand = stackGainDb(*components, knobs, 1000.0);
            EXPECT_TRUE(std::isfinite(midBand));
            EXPECT_GT(midBand, -40.0);
        }
    }
}

TEST(ToneStack, KnobsDoWhatTheirNamesSay)
{
    const Knobs low{0.0, 0.5, 0.5, 1.0}, high{1.0, 0.5, 0.5, 1.0};
    EXPECT_GT(stackGainDb(kToneStackOpen, high, 100) - stackGainDb(kToneStackOpen, low, 100), 5.0);
    const Knobs dull{0.5, 0.5, 0.0, 1.0}, bright{0.5, 0.5, 1.0, 1.0};
    EXPECT_GT(stackGainDb(kToneStackOpen, bright, 5000) - stackGainDb(kToneStackOpen, dull, 5000), 6.0);
    const Knobs scooped{0.5, 0.0, 0.5, 1.0}, full{0.5, 1.0, 0.5, 1.0};
    EXPECT_GT(stackGainDb(kToneStackOpen, full, 1000) - stackGainDb(kToneStackOpen, scooped, 1000), 6.0);
    EXPECT_GT(stackGainDb(kToneStackFocus, full, 1000) - stackGainDb(kToneStackFocus, scooped, 1000), 2.0);
}

TEST(ToneStack, RecomputesOnceAfterEachKnobChange)
{
    ToneStack stack{};
    stack.design(kToneStackOpen, kRate);
    Knobs knobs{0.5, 0.5, 0.5, 1.0};
    double sample = 0.0;
    auto run = [&](int samples) {
        for (int n = 0; n < samples; ++n) {
            sample = std::sin(n * 0.1);
            stack.process(knobs.bass, knobs.mid, knobs.treble, knobs.contour, sample);
        }
    };
    run(100);
    EXPECT_EQ(stack.recomputations, 1u);

    double* each[] = {&knobs.bass, &knobs.mid, &knobs.treble, &knobs.contour};
    unsigned long expected = 1;
    for (double* knob : each) {
        *knob = 0.25;
        run(100);
        EXPECT_EQ(stack.recomputations, ++expected);
    }
    // The cache keeps the raw bass value, the taper stays local.
    EXPECT_EQ(stack.cachedBass, 0.25);
    EXPECT_EQ(knobs.bass, 0.25);

    // A new design forgets the cache and recomputes on the next sample.
    stack.design(kToneStackOpen, kRate);
    EXPECT_EQ(stack.z1, 0.0);
    run(10);
    EXPECT_EQ(stack.recomputations, 1u);
}

TEST(ToneStack, KnobsBeyondTheirTravelActAsTheEnds)
{
    // Parameter values are not clamped on their way in; left as they are,
    // positions like these put a pole outside the unit circle.
    const double nan = std::nan("");
    const Knobs outside[] = {{-1, -1, -1, -1}, {2, 2, 2, 2}, {-0.5, 1.5, -1, 5}, {nan, nan, nan, nan}};
    for (const Knobs& k : outside) {
        const Knobs ends{k.bass > 1 ? 1.0 : 0.0, k.mid > 1 ? 1.0 : 0.0, k.treble > 1 ? 1.0 : 0.0,
                         k.contour > 1 ? 1.0 : 0.0};
        ToneStack wild{}, clamped{};
        wild.design(kToneStackOpen, kRate);
        clamped.design(kToneStackOpen, kRate);
        for (int n = 0; n < 20000; ++n) {
            double a = n == 0 ? 1.0 : 0.0, b = a;
            wild.process(k.bass, k.mid, k.treble, k.contour, a);
            clamped.process(ends.bass, ends.mid, ends.treble, ends.contour, b);
            ASSERT_EQ(a, b) << "sample " << n;
        }
        EXPECT_LT(std::fabs(wild.z1) + std::fabs(wild.z2) + std::fabs(wild.z3), 1e-3);  // dying away
    }
}
