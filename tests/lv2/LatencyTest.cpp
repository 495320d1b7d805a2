// The delay the oversampler adds, measured on the model's own half-band
// chains (up to the oversampled rate and down again, as a block runs them):
// the group delay from 100 Hz to 1 kHz, each quality, at 44.1 and 96 kHz.
// The latency port reports it rounded to the nearest frame; the VST 2 effect
// keeps answering no delay.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <vector>

#include "dsp/AmpModel.h"
#include "dsp/HalfBand.h"
#include "tests/dsp/HalfBandStages.h"
#include "lv2/Latency.h"
#include "tests/lv2/LilvHost.h"

using namespace ka813;
using namespace ka813::test;

namespace {

// The impulse response of the chains for one oversampling factor, at the host rate.
std::vector<double> chainImpulse(int32_t factor, int frames)
{
    HalfBandStages stages;
    // Up by two, and down again, with what lies inside (a straight wire).
    auto stage3 = [&](float x) {
        float a, b;
        stages.up3.processSample(x, a, b);
        return stages.down3.processSample(a, b);
    };
    auto stage2 = [&](float x) {
        float a, b;
        stages.up2.processSample(x, a, b);
        if (factor > 4) {
            a = stage3(a);
            b = stage3(b);
        }
        return stages.down2.processSample(a, b);
    };
    std::vector<double> h(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n) {
        float a, b;
        stages.up1.processSample(n == 0 ? 1.f : 0.f, a, b);
        if (factor > 2) {
            a = stage2(a);
            b = stage2(b);
        }
        h[static_cast<size_t>(n)] = stages.down1.processSample(a, b);
    }
    return h;
}

double phaseAt(const std::vector<double>& h, double omega)
{
    std::complex<double> sum = 0.0;
    for (size_t n = 0; n < h.size(); ++n)
        sum += h[n] * std::polar(1.0, -omega * static_cast<double>(n));
    return std::arg(sum);
}

// Group delay in frames at frequency (Hz) for the host rate.
double groupDelay(const std::vector<double>& h, double frequency, double rate)
{
    const double omega = 2.0 * M_PI * frequency / rate, delta = 1e-4;
    double d = phaseAt(h, omega + delta) - phaseAt(h, omega - delta);
    while (d > M_PI)
        d -= 2.0 * M_PI;
    while (d < -M_PI)
        d += 2.0 * M_PI;
    return -d / (2.0 * delta);
}

}  // namespace

TEST(Latency, OversamplerDelayRoundsToTheReportedFrames)
{
    for (double rate : {44100.0, 96000.0})
        for (int32_t quality : {0, 1}) {
            const int32_t factor = AmpModel::factorFor(static_cast<float>(rate), quality);
            const std::vector<double> h = chainImpulse(factor, 16384);
            double lowest = 1e9, highest = -1e9;
            for (double f = 100.0; f <= 1000.0; f += 50.0) {
                const double d = groupDelay(h, f, rate);
                lowest = std::min(lowest, d);
                highest = std::max(highest, d);
            }
            std::printf("%6.1f kHz %s (x%d): group delay %.3f to %.3f frames (%.3f ms); reported %d\n",
                        rate / 1000.0, quality ? "HighQ" : "LowQ", factor, lowest, highest,
                        1000.0 * highest / rate, ka813::lv2::latencyFrames(factor));
            // Flat over the band: one figure describes it.
            EXPECT_LT(highest - lowest, 0.05);
            EXPECT_EQ(ka813::lv2::latencyFrames(factor), static_cast<int32_t>(std::lround(0.5 * (lowest + highest))));
        }
}

// The plug-in reports the figure of the factor it runs at, and follows the
// quality switch.
TEST(Latency, ThePortReportsTheDelayOfTheRunningFactor)
{
    for (double rate : {44100.0, 96000.0})
        for (float quality : {0.f, 1.f, 0.f}) {
            LilvHost host;
            Lv2Instance plugin(host, rate);
            plugin.control("quality") = quality;
            plugin.activate();
            std::vector<float> silence(64, 0.f), out(64);
            plugin.connectAudio(silence.data(), silence.data(), out.data(), out.data());
            plugin.run(64);
            const int32_t factor = AmpModel::factorFor(static_cast<float>(rate), quality > 0.5f);
            EXPECT_EQ(plugin.latency(), static_cast<float>(ka813::lv2::latencyFrames(factor)))
                << rate << " Hz, quality " << quality;
        }
}
