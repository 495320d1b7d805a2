// Rate set-up of the model: the oversampling factor, every coefficient of
// both sides, and the triode stages' configuration.
#include <cmath>

#include "dsp/AmpModel.h"
#include "dsp/FilterDesign.h"

namespace {

// One triode stage's own parts; grid resistor, supply, plate load and the
// first coupling resistor are common to all seven.
struct TriodeParts {
    double cathodeResistor;      // ohms
    double cathodeCapacitor;     // farads
    double initialPlateVoltage;  // volts, start of the operating-point solve
    double couplingResistor;     // ohms
    double couplingCapacitor;    // farads
};

constexpr double kGridResistor = 68000.0;
constexpr double kSupplyVoltage = 449.8;
constexpr double kPlateResistor = 100000.0;
constexpr double kFirstCouplingResistor = 0.0;

// triode[0] to [3]: channel B; [4] to [6]: channel A.
constexpr TriodeParts kTriodeParts[7] = {
    {820.0, 9.7e-7, 238.7, 2200000.0, 4.7e-8},
    {1500.0, 3e-7, 238.7, 2200000.0, 4.7e-8},
    {3300.0, 2.4e-7, 322.0, 470000.0, 4.7e-8},
    {1500.0, 3e-7, 238.7, 2200000.0, 1e-7},
    {1000.0, 1.6e-5, 250.0, 2200000.0, 4.7e-8},
    {1500.0, 1.1e-5, 276.0, 2200000.0, 4.7e-8},
    {1500.0, 1.1e-5, 276.0, 2200000.0, 1e-7},
};

// Time constant of channel A's bottom high-pass (250 Hz); the first-order
// lowpasses of channel B are it divided by their multiple of 250 Hz.
constexpr double kBottomTimeConstant = 0.00063662;

// The output high-pass's corner, 2 Hz, with the designers' two pi.
constexpr double kOutputCornerTwoPi = 12.56638608;
constexpr double kOutputQ = 0.7;

}  // namespace

int32_t AmpModel::factorFor(float hostRate, int32_t highQuality)
{
    const int32_t factor = hostRate < 50000.f ? 4 : 2;
    return highQuality > 0 ? factor * 2 : factor;
}

void AmpModel::start(const AmpSettings& initial, float hostRate)
{
    static_cast<AmpSettings&>(*this) = initial;
    chooseRate(hostRate);
    setUpTriodes();
    settle();
}

void AmpModel::change(const AmpSettings& next, float hostRate)
{
    static_cast<AmpSettings&>(*this) = next;
    if (hostRate == sampleRate && factorFor(hostRate, highQuality) == oversamplingFactor) {
        // Nothing has played since the model came to rest: it rests at the
        // new settings too, instead of gliding there once sound arrives.
        if (!playedSinceSettle)
            settleGains();
        return;
    }
    const bool fade = playedSinceSettle;
    if (fade) {
        fadeLeft = left;
        fadeRight = right;
        fadeFactor = oversamplingFactor;
        fadeRate = oversampledRate;
    }
    // settle designs every filter for the new rate.
    chooseRate(hostRate);
    settle();
    if (fade) {
        fadeFramesLeft = kRebuildFadeFrames;
        playedSinceSettle = true;
    }
}

void AmpModel::settle()
{
    settleSide(left);
    settleSide(right);
    settleGains();
    lastGoodInput[0] = lastGoodInput[1] = 0.f;
    fadeFramesLeft = 0;
    playedSinceSettle = false;
}

void AmpModel::settleGains()
{
    inputGain = inputGainTarget;
    driveA = driveATarget;
    driveB = driveBTarget;
}

void AmpModel::setUp(float hostRate)
{
    chooseRate(hostRate);
    designSide(left);
    designSide(right);
}

void AmpModel::chooseRate(float hostRate)
{
    sampleRate = hostRate;
    oversamplingFactor = factorFor(hostRate, highQuality);
    // In double precision: the host rate is a float, and a float product
    // would shift every coefficient.
    oversampledPeriod = 1.0 / (static_cast<double>(hostRate) * oversamplingFactor);
    oversampledRate = 1.0 / oversampledPeriod;

    for (TriodeStage& stage : left.triode)
        stage.setRate(oversampledPeriod);
    for (TriodeStage& stage : right.triode)
        stage.setRate(oversampledPeriod);
}

void AmpModel::designSide(AmpSide& side)
{
    const double rate = static_cast<double>(sampleRate) * oversamplingFactor;
    const double period = oversampledPeriod;

    side.toneStackA[1].design(kToneStackFocus, rate);
    side.toneStackA[0].design(kToneStackOpen, rate);
    side.toneStackB[1].design(kToneStackFocus, rate);
    side.toneStackB[0].design(kToneStackOpen, rate);

    for (Biquad& section : side.lowpass3k)
        designLowpass(section, 3000.0, 0.7, rate);
    for (Biquad& section : side.lowpass5k)
        designLowpass(section, 5000.0, 0.7, rate);

    setTimeConstant(side.onePole750, kBottomTimeConstant / 3.0, period);
    setTimeConstant(side.onePole3000, kBottomTimeConstant / 12.0, period);
    setTimeConstant(side.onePole2700, kBottomTimeConstant / 10.8, period);
    setTimeConstant(side.onePole3250, kBottomTimeConstant / 13.0, period);

    designHighShelf(side.lowGainShelfB, 300.0, 0.7, 0.666, rate);
    designHighShelf(side.highGainShelfB, 500.0, 0.7, 0.45, rate);

    setTimeConstant(side.bottomHighpassA, kBottomTimeConstant, period);

    designHighShelf(side.bottomShelfA, 300.0, 0.7, 1.333, rate);
    designLowShelf(side.cleanLowShelfA, 2000.0, 0.7, 7.0, rate);
    designPeak(side.brightPeakB, 4000.0, 1.0, 1.333, rate);
    designHighShelf(side.shelfB1, 5000.0, 0.7, 0.333, rate);
    designHighShelf(side.brightShelfA, 3000.0, 0.7, 0.333, rate);
    designHighShelf(side.bottomShelfB, 300.0, 0.7, 1.75, rate);
    designHighShelf(side.crunchShelfA, 500.0, 0.7, 0.45, rate);

    // Second-order high-pass (s^2 / (s^2 + s/Q + 1)) at 2 Hz.
    Biquad& output = side.outputFilter;
    const double K = std::tan(kOutputCornerTwoPi / rate * 0.5);
    const double K2 = K * K;
    output.invA0 = 1.0 / (K2 + K / kOutputQ + 1.0);
    output.a1 = 2.0 * (K2 - 1.0);
    output.a2 = K2 + 1.0 - K / kOutputQ;
    output.b0 = 1.0;
    output.b1 = -2.0;
    output.b2 = 1.0;
    output.x1 = output.x2 = output.y1 = output.y2 = 0.0;

    // Loading coefficients leaves the resamplers' histories alone.
    side.stage1Up.setCoefficients(kHalfBand12);
    side.stage1Down.setCoefficients(kHalfBand12);
    side.stage2Up.setCoefficients(kHalfBand8);
    side.stage2Down.setCoefficients(kHalfBand8);
    side.stage3Up.setCoefficients(kHalfBand4);
    side.stage3Down.setCoefficients(kHalfBand4);
}

void AmpModel::setUpTriodes()
{
    setUpTriodes(left);
    setUpTriodes(right);
}

void AmpModel::setUpTriodes(AmpSide& side)
{
    const double rate = static_cast<double>(sampleRate) * oversamplingFactor;
    for (int i = 0; i < 7; ++i) {
        const TriodeParts& parts = kTriodeParts[i];
        side.triode[i].setup(kGridResistor, parts.cathodeResistor, parts.cathodeCapacitor,
                             kSupplyVoltage, kPlateResistor, parts.initialPlateVoltage,
                             kFirstCouplingResistor, parts.couplingResistor,
                             parts.couplingCapacitor, rate);
    }
}

// With no signal every triode rests at its operating point and its coupling
// filter passes no DC, so every filter after it rests at zero: the state a
// side reaches after a long silence, computed instead of waited for.
void AmpModel::settleSide(AmpSide& side)
{
    side.stage1Up = {};
    side.stage1Down = {};
    side.stage2Up = {};
    side.stage2Down = {};
    side.stage3Up = {};
    side.stage3Down = {};
    designSide(side);
    for (TriodeStage& stage : side.triode)
        stage.settle();
}
