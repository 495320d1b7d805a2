// The built-in riff is the signal every demo and benchmark plays: it must be
// the same every time, sit at its stated level and be in tune.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tools/render/GuitarRiff.h"
#include "tools/render/Levels.h"

using namespace ka813;

namespace {

// The period, in samples, with the highest normalised autocorrelation
// between minLag and maxLag, refined by a parabola through its neighbours.
double strongestPeriod(const std::vector<float>& x, size_t begin, size_t end, size_t minLag, size_t maxLag)
{
    std::vector<double> r(maxLag + 2, 0.0);
    for (size_t lag = minLag - 1; lag <= maxLag + 1; ++lag) {
        double sum = 0.0, energyA = 0.0, energyB = 0.0;
        for (size_t n = begin; n + lag < end; ++n) {
            sum += double(x[n]) * x[n + lag];
            energyA += double(x[n]) * x[n];
            energyB += double(x[n + lag]) * x[n + lag];
        }
        r[lag] = sum / std::sqrt(energyA * energyB + 1e-30);
    }
    size_t best = minLag;
    for (size_t lag = minLag; lag <= maxLag; ++lag)
        if (r[lag] > r[best])
            best = lag;
    const double a = r[best - 1], b = r[best], c = r[best + 1];
    const double denominator = a - 2 * b + c;
    return best + (denominator != 0.0 ? 0.5 * (a - c) / denominator : 0.0);
}

TEST(GuitarRiff, IsTenSecondsPeakingAtMinusTenDecibelsAtEveryRate)
{
    for (double rate : {44100.0, 48000.0, 96000.0}) {
        std::vector<float> riff = render::guitarRiff(rate);
        ASSERT_EQ(riff.size(), static_cast<size_t>(10.0 * rate)) << rate;
        render::Level level = render::measureLevel(riff);
        ASSERT_TRUE(level.finite) << rate;
        EXPECT_NEAR(render::toDecibels(level.peak), -10.0, 0.01) << rate;
        // A played riff, not a lone transient: its RMS sits 12 to 25 dB
        // under the peak.
        EXPECT_GT(render::toDecibels(level.rms), -35.0) << rate;
        EXPECT_LT(render::toDecibels(level.rms), -22.0) << rate;
    }
}

TEST(GuitarRiff, IsTheSameEveryTime)
{
    EXPECT_EQ(render::guitarRiff(44100.0), render::guitarRiff(44100.0));
    EXPECT_EQ(render::guitarRiff(48000.0), render::guitarRiff(48000.0));
}

TEST(GuitarRiff, KeepsPlayingToTheEndAndFadesOut)
{
    const double rate = 44100.0;
    std::vector<float> riff = render::guitarRiff(rate);
    // Every second of the riff but the last carries sound.
    for (int second = 0; second < 9; ++second) {
        std::vector<float> part(riff.begin() + second * 44100, riff.begin() + (second + 1) * 44100);
        EXPECT_GT(render::toDecibels(render::measureLevel(part).rms), -45.0) << "second " << second;
    }
    // The last chord is damped before the end, so a loop does not click.
    std::vector<float> tail(riff.end() - 2205, riff.end());
    EXPECT_LT(render::toDecibels(render::measureLevel(tail).peak), -40.0);
}

TEST(GuitarRiff, SingleNotesAreInTune)
{
    // The lick starts at 4 s with E3 (164.81 Hz) on the D string, then G3
    // (196.00 Hz) at 4.25 s.
    for (double rate : {44100.0, 96000.0}) {
        std::vector<float> riff = render::guitarRiff(rate);
        struct Note {
            double start, frequency;
        } notes[] = {{4.0, 164.81}, {4.25, 196.00}};
        for (const Note& note : notes) {
            size_t begin = static_cast<size_t>((note.start + 0.04) * rate);
            size_t end = static_cast<size_t>((note.start + 0.22) * rate);
            double period = strongestPeriod(riff, begin, end, static_cast<size_t>(rate / 400.0),
                                            static_cast<size_t>(rate / 120.0));
            EXPECT_NEAR(rate / period, note.frequency, note.frequency * 0.005) << rate;
        }
    }
}

}  // namespace
