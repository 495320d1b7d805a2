#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <complex>
#include <vector>

#include "dsp/HalfBand.h"
#include "tests/dsp/HalfBandStages.h"
#include "tests/dsp/SineMeasure.h"

using namespace ka813;
using namespace ka813::test;

namespace {

// Products of the even and the odd coefficients, in float as the chains form them.
template <int N>
void chainProducts(const double (&set)[N], float& even, float& odd)
{
    even = static_cast<float>(set[0]);
    odd = static_cast<float>(set[1]);
    for (int k = 2; k < N; k += 2) {
        even = even * static_cast<float>(set[k]);
        odd = odd * static_cast<float>(set[k + 1]);
    }
}

// Magnitude of the half-band low-pass, in dB, from the up-sampler's impulse
// response: the two outputs interleaved are twice the low-pass at the high rate.
template <int N>
std::vector<double> impulseResponse(const double (&set)[N])
{
    HalfBandUpsampler<N> up{};
    up.setCoefficients(set);
    std::vector<double> h;
    for (int n = 0; n < 8192; ++n) {
        float a, b;
        up.processSample(n == 0 ? 1.0f : 0.0f, a, b);
        h.push_back(0.5 * a);
        h.push_back(0.5 * b);
    }
    return h;
}

double responseDb(const std::vector<double>& h, double f)
{
    std::complex<double> sum = 0.0;
    for (size_t n = 0; n < h.size(); ++n)
        sum += h[n] * std::polar(1.0, -2.0 * kPi * f * static_cast<double>(n));
    return toDb(std::abs(sum));
}

// Smallest rejection, in dB, above edge (of the high rate): high-rate sines
// through the down-sampler, whose output then holds only the alias; and
// low-rate sines through the up-sampler, whose output holds the image.
template <int N>
double worstRejection(const double (&set)[N], double edge)
{
    constexpr int window = 4096;  // low-rate samples; every tone fits whole cycles
    double worst = 1e9;
    for (int j = static_cast<int>(std::ceil(edge * 2 * window)); j < window; j += 3) {
        const double high = j / (2.0 * window);  // cycles per high-rate sample
        HalfBandDownsampler<N> down{};
        down.setCoefficients(set);
        std::vector<double> alias;
        for (int n = 0; n < 2 * window; ++n) {
            const float in0 = static_cast<float>(std::cos(2 * kPi * high * (2 * n)));
            const float in1 = static_cast<float>(std::cos(2 * kPi * high * (2 * n + 1)));
            const float out = down.processSample(in0, in1);
            if (n >= window)
                alias.push_back(out);
        }
        worst = std::min(worst, -toDb(amplitudeAt(alias, 2 * high)));

        const double low = 1.0 - 2.0 * high;  // its image lands on `high`
        HalfBandUpsampler<N> up{};
        up.setCoefficients(set);
        std::vector<double> out;
        for (int n = 0; n < 2 * window; ++n) {
            float a, b;
            up.processSample(static_cast<float>(std::cos(2 * kPi * low * n)), a, b);
            if (n >= window) {
                out.push_back(a);
                out.push_back(b);
            }
        }
        worst = std::min(worst, -toDb(amplitudeAt(out, high)));
    }
    return worst;
}

}  // namespace

TEST(HalfBand, ImpulsesGiveTheChainProducts)
{
    float even, odd;
    chainProducts(kHalfBand12, even, odd);
    EXPECT_NEAR(even, 0.0037350, 5e-8);
    EXPECT_NEAR(odd, 0.0302554, 5e-8);

    HalfBandUpsampler<12> up{};
    up.setCoefficients(kHalfBand12);
    float out0, out1;
    up.processSample(1.0f, out0, out1);
    EXPECT_EQ(out0, even);
    EXPECT_EQ(out1, odd);
    up.processSample(0.0f, out0, out1);
    EXPECT_NEAR(out0, 0.1219404, 5e-8);
    EXPECT_NEAR(out1, 0.3159465, 5e-8);

    // The later input sample takes the even chain.
    HalfBandDownsampler<12> first{}, second{};
    first.setCoefficients(kHalfBand12);
    second.setCoefficients(kHalfBand12);
    EXPECT_EQ(first.processSample(1.0f, 0.0f), 0.5f * odd);
    EXPECT_EQ(second.processSample(0.0f, 1.0f), 0.5f * even);
}

TEST(HalfBand, SettlesToUnityAtDc)
{
    auto check = [](const auto& set, auto up, auto down) {
        up.setCoefficients(set);
        down.setCoefficients(set);
        float a = 0, b = 0, out = 0;
        for (int n = 0; n < 4000; ++n) {
            up.processSample(1.0f, a, b);
            out = down.processSample(1.0f, 1.0f);
        }
        EXPECT_NEAR(a, 1.0f, 5e-6);
        EXPECT_NEAR(b, 1.0f, 5e-6);
        EXPECT_NEAR(out, 1.0f, 5e-6);
    };
    check(kHalfBand12, HalfBandUpsampler<12>{}, HalfBandDownsampler<12>{});
    check(kHalfBand8, HalfBandUpsampler<8>{}, HalfBandDownsampler<8>{});
    check(kHalfBand4, HalfBandUpsampler<4>{}, HalfBandDownsampler<4>{});
}

TEST(HalfBand, ReloadingCoefficientsKeepsTheRunningState)
{
    HalfBandUpsampler<8> steady{}, reloaded{};
    steady.setCoefficients(kHalfBand8);
    reloaded.setCoefficients(kHalfBand8);
    for (int n = 0; n < 500; ++n) {
        if (n == 250)
            reloaded.setCoefficients(kHalfBand8);
        const float x = static_cast<float>(std::sin(n * 0.3));
        float a0, b0, a1, b1;
        steady.processSample(x, a0, b0);
        reloaded.processSample(x, a1, b1);
        ASSERT_EQ(a0, a1);
        ASSERT_EQ(b0, b1);
    }
}

TEST(HalfBandResponse, PassBandAndHalfPowerPoint)
{
    const auto h12 = impulseResponse(kHalfBand12);
    const auto h8 = impulseResponse(kHalfBand8);
    const auto h4 = impulseResponse(kHalfBand4);
    for (const auto* h : {&h12, &h8, &h4})
        EXPECT_NEAR(responseDb(*h, 0.25), -3.0103, 0.001);

    double ripple12 = 0, ripple8 = 0;
    for (double f = 0; f <= 0.24; f += 0.0025) {
        ripple12 = std::max(ripple12, std::fabs(responseDb(h12, f)));
        ripple8 = std::max(ripple8, std::fabs(responseDb(h8, f)));
    }
    // Single-precision state sets the floor here, some 2e-6 dB.
    EXPECT_LT(ripple12, 1e-5);
    EXPECT_LT(ripple8, 1e-5);
    EXPECT_NEAR(responseDb(h4, 0.24), -0.12, 0.005);
}

TEST(HalfBandResponse, StopBandRejection)
{
    // Rounded to single precision the 12-coefficient set gives up about 0.2 dB
    // in the first lobe, just above 0.255 (103.7 dB there); beyond 0.2555 it
    // holds its full 103.9 dB.
    EXPECT_GE(worstRejection(kHalfBand12, 0.255), 103.6);
    EXPECT_GE(worstRejection(kHalfBand12, 0.2555), 103.9);
    EXPECT_GE(worstRejection(kHalfBand8, 0.255), 69.1);
    EXPECT_GE(worstRejection(kHalfBand4, 0.275), 53.5);
}

TEST(HalfBandResponse, EightTimesRoundTripIsTransparent)
{
    // 44.1 kHz up to 352.8 kHz and back, as the block processing nests the stages.
    HalfBandStages stages;
    auto roundTrip = [&](double& sample) {
        float d[2], m[2];
        stages.up1.processSample(static_cast<float>(sample), d[0], d[1]);
        for (int i = 0; i < 2; ++i) {
            float e[2], w[2];
            stages.up2.processSample(d[i], e[0], e[1]);
            for (int j = 0; j < 2; ++j) {
                float t0, t1;
                stages.up3.processSample(e[j], t0, t1);
                w[j] = stages.down3.processSample(t0, t1);
            }
            m[i] = stages.down2.processSample(w[0], w[1]);
        }
        sample = stages.down1.processSample(m[0], m[1]);
    };
    EXPECT_NEAR(sineGainDb(roundTrip, 1000.0, 44100.0), 0.0, 0.001);
    EXPECT_NEAR(sineGainDb(roundTrip, 15000.0, 44100.0), 0.0, 0.001);
}
