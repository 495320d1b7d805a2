// The amplifier as a whole: the two audio sides and the values they share
// (the settings the parameters make, the smoothed gains, the oversampling
// set-up). New settings come in whole through change; the host's blocks
// through processBlock. Nothing here knows about hosts, programs, windows or
// threads: whoever owns the model calls it from one thread at a time.
#pragma once

#include <cstdint>

#include "dsp/AmpSettings.h"
#include "dsp/AmpSide.h"
#include "dsp/ChainPath.h"
#include "dsp/CircuitValues.h"
#include "dsp/Glide.h"

namespace ka813 {

struct ChunkValues;

struct AmpModel : AmpSettings {
    // The oversampling factor for a host rate and quality: 4 below 50 kHz,
    // else 2, doubled in high quality.
    static int32_t factorFor(float hostRate, int32_t highQuality);

    // A new model at its quiet operating point for these settings and rate.
    void start(const AmpSettings& initial, float hostRate);

    // New settings and rate between two blocks. Knobs and switches take
    // effect as automation would (the gains glide from where they are); a
    // new rate or oversampling factor rebuilds the model at its quiet
    // operating point, cross-faded from the old one if that has played.
    void change(const AmpSettings& next, float hostRate);

    // Every side at its quiet operating point and the gains at their
    // targets: what the model sounds like after a long silence.
    void settle();

    // Chooses the oversampling factor for the host rate and the quality,
    // recomputes every coefficient of both sides and clears the linear
    // filters' histories; triode states and half-band histories are kept.
    // A rate change in place, without the settling and cross-fade of
    // change: for tests that compare two models across one.
    void setUp(float hostRate);
    // Configures the fourteen triode stages and solves their operating
    // points at the oversampled rate chosen last.
    void setUpTriodes();

    // One host block, in place allowed.
    void processBlock(const float* const* inputs, float* const* outputs, int32_t frames);

    // Set-up.
    float sampleRate = 0.f;          // host rate the model runs at
    int32_t oversamplingFactor = 0;  // 2, 4 or 8
    double oversampledPeriod = 0.0;  // T, seconds
    double oversampledRate = 0.0;    // 1 / T, Hz

    // The code that runs the chain: the fastest this processor has. Tests
    // may choose the other.
    Path chainPath = fastestPath();

    // Gains glided per frame towards their targets.
    double inputGain = 0.0, driveA = 0.0, driveB = 0.0;

    // The switches that alter the circuit, where they stand on their way
    // to the settings: per channel Bottom, Bright, Focus and the mode switch
    // (by GlidingSwitch), then the channel switch.
    Glide glideA[kGlideCount] = {Glide(kSwitchGlideSeconds), Glide(kSwitchGlideSeconds),
                                           Glide(kSwitchGlideSeconds),
                                           Glide(kToCrunchGlideSeconds, kToCleanGlideSeconds)};
    Glide glideB[kGlideCount] = {Glide(kSwitchGlideSeconds), Glide(kSwitchGlideSeconds),
                                           Glide(kSwitchGlideSeconds), Glide(kSwitchGlideSeconds)};
    Glide channelGlide{kChannelFadeSeconds};
    // The Volume each channel (A, B) last played at: while the channel
    // switch moves, the channel it moves from plays on at its own.
    float channelVolume[2] = {0.f, 0.f};
    // The channel the sides' own stages after the chain serve, and the input
    // gain the channel the switch moved from last played at.
    int32_t channelServed = 0;
    double leavingInputGain = 0.0;
    // The tone knobs as the tone stacks follow them, per channel low, mid,
    // high and contour: a jump slews there over a few chunks.
    Glide toneA[4] = {Glide(kToneGlideSeconds), Glide(kToneGlideSeconds), Glide(kToneGlideSeconds),
                      Glide(kToneGlideSeconds)};
    Glide toneB[4] = {Glide(kToneGlideSeconds), Glide(kToneGlideSeconds), Glide(kToneGlideSeconds),
                      Glide(kToneGlideSeconds)};

    AmpSide left{}, right{};
    // Each side's last plausible input sample, which stands in for one that
    // is not.
    float lastGoodInput[2] = {0.f, 0.f};

    // A rebuild restarts the filters and changes the resamplers' path, which
    // would click: for a few milliseconds the configuration it replaced
    // keeps running on a copy of both sides and the output cross-fades from
    // it to the new one.
    static constexpr int32_t kRebuildFadeFrames = 256;
    int32_t fadeFramesLeft = 0;
    int32_t fadeFactor = 0;
    double fadeRate = 0.0;
    AmpSide fadeLeft{}, fadeRight{};
    // The anti-denormal signal by the number of frames left in the block:
    // the same values in every block at one rate, so each is computed once.
    static constexpr int32_t kAntiDenormalKept = 8192;
    double antiDenormal[kAntiDenormalKept] = {};
    int32_t antiDenormalCount = 0;     // how many of them hold values
    double antiDenormalPeriod = 0.0;   // the oversampled period they belong to

    // Whether anything was processed since the last settle: a model that
    // never played has nothing to fade from.
    bool playedSinceSettle = false;

private:
    // The factor, the period and the triodes' rate coefficients; no filter.
    void chooseRate(float hostRate);
    void designSide(AmpSide& side);
    void setUpTriodes(AmpSide& side);
    void settleSide(AmpSide& side);
    void settleGains();
    // Every switch position and tone knob at its setting.
    void settleGlides();
    // The switch positions' targets, 0 or 1.
    void glideTargets(double (&a)[kGlideCount], double (&b)[kGlideCount]) const;

    // The steps of processBlock. A block runs in chunks of up to
    // kChunkFrames frames; each chunk's per-frame values are worked
    // out first, then the oversampled chain runs over all of them.
    void cacheAntiDenormal(int32_t frames);
    int32_t chunkLength(int32_t framesLeft) const;
    void takeChannelInputGain();
    void smoothGains(ChunkValues& chunk);
    void glideSwitches(ChunkValues& chunk);
    void crossFadeChannels(ChunkValues& chunk) const;
    Form formOf(bool onB, const ChunkValues& chunk) const;
    Circuit circuitFor(const ChunkValues& chunk) const;
    void slewToneKnobs(ChunkValues& chunk);
    template <class Lane>
    void playChunk(const float* const* inputs, float* const* outputs, int32_t start, int32_t frames,
                   const ChunkValues& chunk);
    template <class Float>
    void readInputs(const float* const* inputs, int32_t start, int32_t frames, int32_t count, Float* x);
    template <class Lane, class Float>
    void fadeFromReplaced(const Float* x, Float* y, const ChunkValues& chunk);
    void recoverFromRunaway(float* const* outputs, int32_t frames);
};

}  // namespace ka813
