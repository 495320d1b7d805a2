// Rate set-up of the model: the oversampling factor, every coefficient of
// both sides, and the triode stages' configuration.
#include "dsp/AmpModel.h"
#include "dsp/CircuitValues.h"
#include "dsp/FilterDesign.h"

namespace ka813 {

int32_t AmpModel::factorFor(float hostRate, int32_t highQuality)
{
    const int32_t factor = hostRate < kFourTimesBelowRate ? 4 : 2;
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
    settleGlides();
}

void AmpModel::glideTargets(double (&a)[kGlideCount], double (&b)[kGlideCount]) const
{
    a[kBottomGlide] = bottomA;
    a[kBrightGlide] = brightA;
    a[kFocusGlide] = focusA != 0 ? 1 : 0;
    a[kModeGlide] = crunchA;
    b[kBottomGlide] = bottomB;
    b[kBrightGlide] = brightB;
    b[kFocusGlide] = focusB != 0 ? 1 : 0;
    b[kModeGlide] = highGainB;
}

void AmpModel::settleGlides()
{
    double targetA[kGlideCount], targetB[kGlideCount];
    glideTargets(targetA, targetB);
    for (int32_t g = 0; g < kGlideCount; ++g) {
        glideA[g].settle(targetA[g]);
        glideB[g].settle(targetB[g]);
    }
    channelGlide.settle(channelB);
    channelVolume[0] = channelVolume[1] = volume;
    channelServed = channelB;
    const double a[4] = {lowA, midA, highA, contourA};
    const double b[4] = {lowB, midB, highB, contourB};
    for (int k = 0; k < 4; ++k) {
        toneA[k].settle(a[k]);
        toneB[k].settle(b[k]);
    }
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
        designLowpass(section, kLowpass3k.frequency, kLowpass3k.q, rate);
    for (Biquad& section : side.lowpass5k)
        designLowpass(section, kLowpass5k.frequency, kLowpass5k.q, rate);

    setTimeConstant(side.onePole750, kBottomTimeConstant / kOnePole750Multiple, period);
    setTimeConstant(side.onePole3000, kBottomTimeConstant / kOnePole3000Multiple, period);
    setTimeConstant(side.onePole2700, kBottomTimeConstant / kOnePole2700Multiple, period);
    setTimeConstant(side.onePole3250, kBottomTimeConstant / kOnePole3250Multiple, period);

    designHighShelf(side.lowGainShelfB, kLowGainShelfB.frequency, kLowGainShelfB.q, kLowGainShelfB.gain, rate);
    designHighShelf(side.highGainShelfB, kHighGainShelfB.frequency, kHighGainShelfB.q, kHighGainShelfB.gain, rate);

    setTimeConstant(side.bottomHighpassA, kBottomTimeConstant, period);

    designHighShelf(side.bottomShelfA, kBottomShelfA.frequency, kBottomShelfA.q, kBottomShelfA.gain, rate);
    designLowShelf(side.cleanLowShelfA, kCleanLowShelfA.frequency, kCleanLowShelfA.q, kCleanLowShelfA.gain, rate);
    designPeak(side.brightPeakB, kBrightPeakB.frequency, kBrightPeakB.q, kBrightPeakB.gain, rate);
    designHighShelf(side.shelfB1, kShelfB1.frequency, kShelfB1.q, kShelfB1.gain, rate);
    designHighShelf(side.brightShelfA, kBrightShelfA.frequency, kBrightShelfA.q, kBrightShelfA.gain, rate);
    designHighShelf(side.bottomShelfB, kBottomShelfB.frequency, kBottomShelfB.q, kBottomShelfB.gain, rate);
    designHighShelf(side.crunchShelfA, kCrunchShelfA.frequency, kCrunchShelfA.q, kCrunchShelfA.gain, rate);

    designHighpass(side.outputFilter, kOutputHighpassCorner, kOutputHighpassQ, rate);

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

}  // namespace ka813
