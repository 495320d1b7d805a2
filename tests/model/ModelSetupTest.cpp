// The rate set-up: oversampling factors, the oversampled period, what a
// set-up clears and what it keeps.
#include <gtest/gtest.h>

#include <cstring>

#include "dsp/AmpModel.h"
#include "tests/model/DirectEffect.h"

using namespace ka813;
using namespace ka813::test;

TEST(RateSetup, OversamplingFactorsForRatesAndQualities)
{
    const struct {
        float rate;
        int low, high;
    } cases[] = {{44100.f, 4, 8}, {48000.f, 4, 8}, {49999.f, 4, 8}, {50000.f, 2, 4}, {96000.f, 2, 4}};
    for (const auto& c : cases) {
        auto effect = makeEffect();
        effect->setSampleRate(c.rate);
        EXPECT_EQ(effect->model().oversamplingFactor, c.low) << c.rate;
        effect->setParameter(kQuality, 1.f);
        effect->setSampleRate(c.rate);
        EXPECT_EQ(effect->model().oversamplingFactor, c.high) << c.rate;
    }
}

TEST(RateSetup, PeriodIsADoublePrecisionDivision)
{
    auto effect = makeEffect();
    EXPECT_EQ(effect->model().oversampledPeriod, 1.0 / 176400.0);
    EXPECT_EQ(effect->model().oversampledRate, 1.0 / (1.0 / 176400.0));
    // Not the single-precision quotient the float rate would invite.
    EXPECT_NE(effect->model().oversampledPeriod, static_cast<double>(1.f / (44100.f * 4)));
    effect->setSampleRate(44099.7f);
    EXPECT_EQ(effect->model().oversampledPeriod, 1.0 / (double(44099.7f) * 4.0));
}

TEST(RateSetup, ConstructionLeavesTheStagesCompleteAndSettled)
{
    auto effect = makeEffect();
    const AmpModel& model = effect->model();
    EXPECT_EQ(model.sampleRate, 44100.f);
    // Operating points of the first stage of each channel: near those the
    // relaxation finds, and exactly where the stage holds still.
    EXPECT_NEAR(model.left.triode[0].plateVoltage, 256.772, 0.05);
    EXPECT_NEAR(model.left.triode[4].plateVoltage, 270.873, 0.05);
    EXPECT_NEAR(model.right.triode[2].cathodeVoltage, 3.1334, 0.005);
    for (int i = 0; i < 7; ++i) {
        TriodeStage stage = model.left.triode[i];
        for (int n = 0; n < 1000; ++n) {
            double grid = 0.0;
            stage.process(grid, model.oversampledRate);
        }
        EXPECT_NEAR(stage.plateVoltage, model.left.triode[i].plateVoltage, 1e-9) << i;
        EXPECT_NEAR(stage.output, 0.0, 1e-9) << i;
    }
    // The gains start at their targets, not gliding up to them.
    EXPECT_EQ(model.inputGain, model.inputGainTarget);
    EXPECT_EQ(model.driveA, model.driveATarget);
    EXPECT_EQ(model.driveB, model.driveBTarget);
    // Rate-dependent coefficients for 176400 Hz.
    const double T = 1.0 / 176400.0;
    const TriodeStage& stage = model.left.triode[0];
    EXPECT_DOUBLE_EQ(stage.cathodeCoefficient, T * 820.0 / (T + 820.0 * 9.7e-7));
    EXPECT_DOUBLE_EQ(stage.couplingCoefficient, 2200000.0 * 4.7e-8 / (2200000.0 * 4.7e-8 + T));
    // The first-order sections' time constants.
    EXPECT_DOUBLE_EQ(model.left.onePole750.input, T / (T + 0.00021220666666666664));
    EXPECT_DOUBLE_EQ(model.left.onePole3000.input, T / (T + 0.00005305166666666666));
    EXPECT_DOUBLE_EQ(model.left.onePole2700.input, T / (T + 0.00005894629629629629));
    EXPECT_DOUBLE_EQ(model.left.onePole3250.input, T / (T + 0.00004897076923076923));
    EXPECT_DOUBLE_EQ(model.left.bottomHighpassA.coefficient, 0.00063662 / (T + 0.00063662));
    // Resamplers loaded, their histories clear.
    EXPECT_EQ(model.left.stage1Up.coef[0], static_cast<float>(kHalfBand12[0]));
    EXPECT_EQ(model.right.stage3Down.coef[3], static_cast<float>(kHalfBand4[3]));
}

TEST(RateSetup, RepeatedSetUpClearsFiltersButKeepsTriodesAndResamplers)
{
    auto effect = makeEffect();
    std::vector<float> in(300, 0.3f), outL(300), outR(300);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {outL.data(), outR.data()};
    effect->processReplacing(inputs, outputs, 300);

    const AmpModel before = effect->model();
    AmpModel after = before;
    after.setUp(44100.f);

    EXPECT_EQ(std::memcmp(&before.left.triode, &after.left.triode, sizeof after.left.triode), 0);
    EXPECT_EQ(std::memcmp(&before.left.stage1Up, &after.left.stage1Up, sizeof after.left.stage1Up), 0);
    EXPECT_EQ(std::memcmp(&before.left.stage2Down, &after.left.stage2Down,
                          sizeof after.left.stage2Down),
              0);
    // Same coefficients, histories cleared.
    EXPECT_EQ(after.left.outputFilter.a1, before.left.outputFilter.a1);
    EXPECT_EQ(after.left.outputFilter.invA0, before.left.outputFilter.invA0);
    EXPECT_NE(before.left.outputFilter.y1, 0.0);
    EXPECT_EQ(after.left.outputFilter.y1, 0.0);
    EXPECT_NE(before.left.bottomHighpassA.lastOutput, 0.0);
    EXPECT_EQ(after.left.bottomHighpassA.lastOutput, 0.0);
    EXPECT_EQ(after.left.lowpass5k[2].b0, before.left.lowpass5k[2].b0);
    EXPECT_EQ(after.left.lowpass5k[2].x1, 0.0);
    EXPECT_EQ(after.left.toneStackA[0].z1, 0.0);

    // The effect itself rebuilds nothing for the rate it already has.
    effect->setSampleRate(44100.f);
    effect->processReplacing(inputs, outputs, 1);
    EXPECT_NE(effect->model().left.outputFilter.y1, 0.0);
    EXPECT_EQ(effect->model().fadeFramesLeft, 0);
}

TEST(RateSetup, OutputHighPassIsTwoHertzAtTheOversampledRate)
{
    auto effect = makeEffect();
    const Biquad& filter = effect->model().left.outputFilter;
    const double K = std::tan(12.56638608 / 176400.0 * 0.5);
    EXPECT_DOUBLE_EQ(filter.invA0, 1.0 / (K * K + K / 0.7 + 1.0));
    EXPECT_DOUBLE_EQ(filter.a1, 2.0 * (K * K - 1.0));
    EXPECT_DOUBLE_EQ(filter.a2, K * K + 1.0 - K / 0.7);
    EXPECT_EQ(filter.b0, 1.0);
    EXPECT_EQ(filter.b1, -2.0);
    EXPECT_EQ(filter.b2, 1.0);
}
