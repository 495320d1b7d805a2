#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "dsp/TriodeStage.h"
#include "tests/dsp/SineMeasure.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr double kRate = 176400.0;  // 44100 Hz at four times

struct StageValues {
    const char* role;
    double cathodeResistor, cathodeCapacitor, initialPlateVoltage;
    double couplingResistorB, couplingCapacitor;
    double plateVoltage, cathodeVoltage, plateMilliamperes;  // solved operating point
};

// The seven preamp stages; grid 68k, supply 449.8 V, plate load 100k throughout.
const StageValues kStages[] = {
    {"B first", 820, 9.7e-7, 238.7, 2200000, 4.7e-8, 256.772, 1.5828, 1.9303},
    {"B second", 1500, 3e-7, 238.7, 2200000, 4.7e-8, 300.626, 2.2376, 1.4917},
    {"B third", 3300, 2.4e-7, 322, 470000, 4.7e-8, 354.848, 3.1334, 0.9495},
    {"B fourth", 1500, 3e-7, 238.7, 2200000, 1e-7, 300.626, 2.2376, 1.4917},
    {"A first", 1000, 1.6e-5, 250, 2200000, 4.7e-8, 270.873, 1.7893, 1.7893},
    {"A second", 1500, 1.1e-5, 276, 2200000, 4.7e-8, 300.627, 2.2376, 1.4917},
    {"A third", 1500, 1.1e-5, 276, 2200000, 1e-7, 300.627, 2.2376, 1.4917},
};

TriodeStage makeStage(const StageValues& s, double rate = kRate)
{
    TriodeStage stage{};
    stage.setup(68000, s.cathodeResistor, s.cathodeCapacitor, 449.8, 100000, s.initialPlateVoltage,
                0, s.couplingResistorB, s.couplingCapacitor, rate);
    return stage;
}

}  // namespace

TEST(TriodeCurve, MatchesTheReferenceValues)
{
    const double v[] = {-10, -8, -6, -4, -2, -1, 0, 1, 2, 3};
    const double r[] = {449.8486, 449.7138, 443.9350, 393.6486, 283.0252,
                        214.9833, 142.8172, 67.8469,  22.1481,  12.0014};
    for (int i = 0; i < 10; ++i)
        EXPECT_NEAR(triodeCurve(v[i]), r[i], 0.00005) << "v = " << v[i];
}

TEST(TriodeStage, SolvesTheOperatingPointOfEveryStage)
{
    for (const StageValues& s : kStages) {
        SCOPED_TRACE(s.role);
        const TriodeStage stage = makeStage(s);
        EXPECT_NEAR(stage.plateVoltage, s.plateVoltage, 0.0005);
        EXPECT_NEAR(stage.cathodeVoltage, s.cathodeVoltage, 0.00005);
        EXPECT_NEAR(stage.plateCurrent * 1000.0, s.plateMilliamperes, 0.00005);
        // The running supply is the curve's cutoff value, not the nominal 449.8 V.
        EXPECT_EQ(stage.supplyVoltage, triodeCurve(-10.0));
        EXPECT_NEAR(stage.supplyVoltage, 449.848561, 0.0000005);
        EXPECT_EQ(stage.gridVoltage, 0.0);
        EXPECT_EQ(stage.output, 0.0);
    }
}

TEST(TriodeStage, SilenceSettlesJustAboveTheOperatingPoint)
{
    for (const StageValues& s : kStages) {
        SCOPED_TRACE(s.role);
        TriodeStage stage = makeStage(s);
        const double solved = stage.plateVoltage;
        double loudest = 0.0;
        for (int n = 0; n < 2 * static_cast<int>(kRate); ++n) {
            double sample = 0.0;
            stage.process(sample, kRate);
            loudest = std::max(loudest, std::fabs(sample));
        }
        const double drift = stage.plateVoltage - solved;
        EXPECT_GT(drift, 0.02);
        EXPECT_LT(drift, 0.032);
        EXPECT_LT(loudest, 0.03);
        EXPECT_LT(std::fabs(stage.output), 1e-5);  // and the coupling has let it go again
    }
}

TEST(TriodeStage, GridBranches)
{
    // Exactly at the cathode voltage the grid does not conduct.
    TriodeStage atCathode = makeStage(kStages[4]);
    const double cathode = atCathode.cathodeVoltage;
    double sample = cathode;
    atCathode.process(sample, kRate);
    EXPECT_EQ(atCathode.gridVoltage, cathode);
    EXPECT_EQ(atCathode.gridCurrent, 0.0);

    // Far below cutoff the plate sits at the curve's cutoff value above the
    // cathode; once the cathode has discharged no plate current flows. (While
    // it discharges the load line gives a small reverse current, -Vk / RL.)
    TriodeStage cut = makeStage(kStages[4]);
    const double cathodeBefore = cut.cathodeVoltage;
    sample = -50.0;
    cut.process(sample, kRate);
    EXPECT_EQ(cut.plateVoltage, cathodeBefore + triodeCurve(-10.0));
    EXPECT_LE(cut.plateCurrent, 0.0);
    for (int n = 0; n < static_cast<int>(kRate); ++n) {
        sample = -50.0;
        cut.process(sample, kRate);
    }
    EXPECT_LT(cut.cathodeVoltage, 1e-20);
    EXPECT_EQ(cut.plateVoltage, triodeCurve(-10.0));
    EXPECT_EQ(cut.plateCurrent, 0.0);

    // 300 V above the cathode: grid current through 68k holds v near 3.41 V and
    // the plate swings towards the bottom of the curve.
    TriodeStage driven = makeStage(kStages[4]);
    const double vk = driven.cathodeVoltage;
    sample = vk + 300.0;
    driven.process(sample, kRate);
    EXPECT_NEAR(driven.gridVoltage - vk, 3.41, 0.005);
    EXPECT_NEAR(driven.gridCurrent, (300.0 - 3.41) / 68000.0, 1e-6);
    EXPECT_LT(driven.plateVoltage - vk, triodeCurve(3.0));
}

TEST(TriodeStage, RateChangeKeepsEveryVoltage)
{
    TriodeStage stage = makeStage(kStages[0]);
    for (int n = 0; n < 1000; ++n) {
        double sample = 0.5 * std::sin(2.0 * kPi * 440.0 * n / kRate);
        stage.process(sample, kRate);
    }
    const TriodeStage before = stage;
    stage.setRate(1.0 / 352800.0);
    const TriodeStage reference = makeStage(kStages[0], 352800.0);

    EXPECT_EQ(stage.cathodeCoefficient, reference.cathodeCoefficient);
    EXPECT_EQ(stage.couplingCoefficient, reference.couplingCoefficient);
    EXPECT_NE(stage.cathodeCoefficient, before.cathodeCoefficient);
    EXPECT_EQ(stage.gridVoltage, before.gridVoltage);
    EXPECT_EQ(stage.gridCurrent, before.gridCurrent);
    EXPECT_EQ(stage.cathodeVoltage, before.cathodeVoltage);
    EXPECT_EQ(stage.plateVoltage, before.plateVoltage);
    EXPECT_EQ(stage.plateCurrent, before.plateCurrent);
    EXPECT_EQ(stage.output, before.output);
    EXPECT_EQ(stage.supplyVoltage, before.supplyVoltage);
}

TEST(TriodeStage, AmplifiesAndInvertsASmallSine)
{
    // 50 mV at the grid of channel A's first stage (fully bypassed cathode).
    auto gainAndSign = [](const StageValues& s, double frequency, double& correlation) {
        TriodeStage stage = makeStage(s);
        const int second = static_cast<int>(kRate);
        std::vector<double> in, out;
        correlation = 0.0;
        for (int n = 0; n < 2 * second; ++n) {
            const double x = 0.05 * std::sin(2.0 * kPi * frequency * n / kRate);
            double y = x;
            stage.process(y, kRate);
            if (n >= second) {
                in.push_back(x);
                out.push_back(y);
                correlation += x * y;
            }
        }
        return toDb(amplitudeAt(out, frequency / kRate) / amplitudeAt(in, frequency / kRate));
    };
    double correlation = 0.0;
    const double gain = gainAndSign(kStages[4], 1000.0, correlation);
    EXPECT_GT(gain, 30.0);
    EXPECT_LT(gain, 40.0);
    EXPECT_LT(correlation, 0.0);

    // Channel B's third stage has a small cathode capacitor: less gain in the bass.
    const double bass = gainAndSign(kStages[2], 50.0, correlation);
    const double middle = gainAndSign(kStages[2], 1000.0, correlation);
    EXPECT_GT(middle - bass, 5.0);
}
