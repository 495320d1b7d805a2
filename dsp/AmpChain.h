// The two preamp channels at the oversampled rate, from the first grid to
// the output high-pass, over a chunk of consecutive samples (up to 64 host
// frames' worth) of one side (mono) or of both sides at once (stereo lanes).
// Every element's state is loaded once, stepped through the chunk in
// registers and stored once. An element depends only on its own state and
// its input sequence, so this gives what running each sample through the
// whole chain in turn gives.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dsp/AmpModel.h"
#include "dsp/ChainPath.h"

namespace ampchain {

// The chain cut into segments, one triode each with what follows it, run
// skewed: at step t segment s takes sample t - s. The segments of one step
// work on different samples and so do not wait for each other; the
// triodes' long per-sample recursions then overlap instead of queueing.
// The skew fills once at the start of the chunk and drains once at its end.
template <class... Segments>
inline void runSkewed(size_t count, const Segments&... segments)
{
    constexpr size_t depth = sizeof...(Segments);
    const size_t steps = count + depth - 1;
    auto edge = [&](size_t step) {
        size_t index = 0;
        ((step >= index && step - index < count ? segments(step - index) : void(), ++index), ...);
    };
    size_t step = 0;
    for (; step + 1 < depth && step < steps; ++step)
        edge(step);
    for (; step < count; ++step) {
        size_t index = 0;
        (segments(step - index++), ...);
    }
    for (; step < steps; ++step)
        edge(step);
}

// The chain's output through the 0.01 scaling and the side's output high-pass.
template <class Lane>
struct OutputStepper : BiquadStepper<Lane> {
    OutputStepper(const AmpSide& l, const AmpSide& r) : BiquadStepper<Lane>(l.outputFilter, r.outputFilter) {}
    Lane step(const Lane x) { return BiquadStepper<Lane>::step(0.01 * x); }
    void store(AmpSide& l, AmpSide& r) const { BiquadStepper<Lane>::store(l.outputFilter, r.outputFilter); }
};

// Four triodes; gain shaped by shelves and lowpasses between them.
template <bool highGain, class Lane>
inline void channelB(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                     Lane* samples, size_t count, const FrameValues& frames)
{
    const int32_t bottom = model.bottomB;
    const int32_t bright = model.brightB;
    const int32_t focus = model.focusB != 0 ? 1 : 0;
    const double contourGain = model.contourBShaped;
    ToneStack& stackL = l.toneStackB[focus];
    ToneStack& stackR = r.toneStackB[focus];
    Biquad& gainShelfL = highGain ? l.highGainShelfB : l.lowGainShelfB;
    Biquad& gainShelfR = highGain ? r.highGainShelfB : r.lowGainShelfB;
    OnePoleLowpass& gainPoleL = highGain ? l.onePole2700 : l.onePole3000;
    OnePoleLowpass& gainPoleR = highGain ? r.onePole2700 : r.onePole3000;
    constexpr double gainScale = highGain ? 0.716 : 0.325;

    TriodeStepper<Lane> triode0(l.triode[0], r.triode[0], rate);
    OnePoleLowpassStepper<Lane> onePole750(l.onePole750, r.onePole750);
    BiquadStepper<Lane> shelf1(l.shelfB1, r.shelfB1);
    BiquadStepper<Lane> lowpass3k0(l.lowpass3k[0], r.lowpass3k[0]);
    TriodeStepper<Lane> triode1(l.triode[1], r.triode[1], rate);
    BiquadStepper<Lane> gainShelf(gainShelfL, gainShelfR);
    OnePoleLowpassStepper<Lane> gainPole(gainPoleL, gainPoleR);
    BiquadStepper<Lane> lowpass3k1(l.lowpass3k[1], r.lowpass3k[1]);
    BiquadStepper<Lane> lowpass5k0(l.lowpass5k[0], r.lowpass5k[0]);
    TriodeStepper<Lane> triode2(l.triode[2], r.triode[2], rate);
    OnePoleLowpassStepper<Lane> onePole3250(l.onePole3250, r.onePole3250);
    BiquadStepper<Lane> lowpass3k2(l.lowpass3k[2], r.lowpass3k[2]);
    BiquadStepper<Lane> lowpass5k1(l.lowpass5k[1], r.lowpass5k[1]);
    TriodeStepper<Lane> triode3(l.triode[3], r.triode[3], rate);
    BiquadStepper<Lane> bottomShelf(l.bottomShelfB, r.bottomShelfB);
    BiquadStepper<Lane> brightPeak(l.brightPeakB, r.brightPeakB);
    ToneStackStepper<Lane> toneStack(stackL, stackR);
    OutputStepper<Lane> output(l, r);

    const double* drive = frames.driveB;
    const int32_t shift = frames.shift;
    runSkewed(
        count,
        [&](size_t i) {
            Lane x = triode0.step(samples[i]);
            x = onePole750.step(x * 0.75);
            x = shelf1.step(x);
            samples[i] = lowpass3k0.step(x * drive[i >> shift]);
        },
        [&](size_t i) {
            Lane x = triode1.step(samples[i]);
            x = gainPole.step(gainShelf.step(x) * gainScale);
            samples[i] = lowpass5k0.step(lowpass3k1.step(x));
        },
        [&](size_t i) {
            Lane x = triode2.step(samples[i]);
            x = onePole3250.step(x) * 0.8;
            samples[i] = lowpass5k1.step(lowpass3k2.step(x));
        },
        [&](size_t i) {
            Lane x = triode3.step(samples[i]);
            if (bottom == 1)
                x = bottomShelf.step(x);
            if (bright == 1)
                x = brightPeak.step(x);
            samples[i] = output.step(toneStack.step(x) * contourGain);
        });

    triode0.store(l.triode[0], r.triode[0]);
    onePole750.store(l.onePole750, r.onePole750);
    shelf1.store(l.shelfB1, r.shelfB1);
    lowpass3k0.store(l.lowpass3k[0], r.lowpass3k[0]);
    triode1.store(l.triode[1], r.triode[1]);
    gainShelf.store(gainShelfL, gainShelfR);
    gainPole.store(gainPoleL, gainPoleR);
    lowpass3k1.store(l.lowpass3k[1], r.lowpass3k[1]);
    lowpass5k0.store(l.lowpass5k[0], r.lowpass5k[0]);
    triode2.store(l.triode[2], r.triode[2]);
    onePole3250.store(l.onePole3250, r.onePole3250);
    lowpass3k2.store(l.lowpass3k[2], r.lowpass3k[2]);
    lowpass5k1.store(l.lowpass5k[1], r.lowpass5k[1]);
    triode3.store(l.triode[3], r.triode[3]);
    bottomShelf.store(l.bottomShelfB, r.bottomShelfB);
    brightPeak.store(l.brightPeakB, r.brightPeakB);
    toneStack.store(stackL, stackR);
    output.store(l, r);
}

// Three triodes; clean divides the second drive gain out again after the
// third triode, crunch keeps it.
template <bool crunch, class Lane>
inline void channelA(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                     Lane* samples, size_t count, const FrameValues& frames)
{
    const double shaped = model.driveAShaped;
    const double makeUp = 3.0 * model.driveAShapedInv;
    const int32_t bottom = model.bottomA;
    const int32_t bright = model.brightA;
    const int32_t focus = model.focusA != 0 ? 1 : 0;
    const double contourGain = model.contourAShaped;
    ToneStack& stackL = l.toneStackA[focus];
    ToneStack& stackR = r.toneStackA[focus];
    Biquad& modeShelfL = crunch ? l.crunchShelfA : l.cleanLowShelfA;
    Biquad& modeShelfR = crunch ? r.crunchShelfA : r.cleanLowShelfA;
    constexpr double modeScale = crunch ? 0.527 : 0.018;

    TriodeStepper<Lane> triode4(l.triode[4], r.triode[4], rate);
    OnePoleHighpassStepper<Lane> bottomHighpass(l.bottomHighpassA, r.bottomHighpassA);
    BiquadStepper<Lane> bottomShelf(l.bottomShelfA, r.bottomShelfA);
    BiquadStepper<Lane> brightShelf(l.brightShelfA, r.brightShelfA);
    TriodeStepper<Lane> triode5(l.triode[5], r.triode[5], rate);
    BiquadStepper<Lane> modeShelf(modeShelfL, modeShelfR);
    BiquadStepper<Lane> lowpass5k(l.lowpass5k[2], r.lowpass5k[2]);
    TriodeStepper<Lane> triode6(l.triode[6], r.triode[6], rate);
    ToneStackStepper<Lane> toneStack(stackL, stackR);
    OutputStepper<Lane> output(l, r);

    const double* drive = frames.driveA;
    const int32_t shift = frames.shift;
    runSkewed(
        count,
        [&](size_t i) {
            Lane x = triode4.step(samples[i]);
            if (bottom == 0)
                x = bottomHighpass.step(x);
            else
                x = bottomShelf.step(x) * 0.75;
            x = x * drive[i >> shift];
            samples[i] = bright == 0 ? x * shaped : brightShelf.step(x);
        },
        [&](size_t i) {
            Lane x = triode5.step(samples[i]);
            x = modeShelf.step(x * modeScale);
            samples[i] = lowpass5k.step(x);
        },
        [&](size_t i) {
            Lane x = triode6.step(samples[i]);
            if (!crunch)
                x = x * makeUp;
            x = toneStack.step(x) * contourGain;
            samples[i] = output.step(x * 1.58);
        });

    triode4.store(l.triode[4], r.triode[4]);
    bottomHighpass.store(l.bottomHighpassA, r.bottomHighpassA);
    bottomShelf.store(l.bottomShelfA, r.bottomShelfA);
    brightShelf.store(l.brightShelfA, r.brightShelfA);
    triode5.store(l.triode[5], r.triode[5]);
    modeShelf.store(modeShelfL, modeShelfR);
    lowpass5k.store(l.lowpass5k[2], r.lowpass5k[2]);
    triode6.store(l.triode[6], r.triode[6]);
    toneStack.store(stackL, stackR);
    output.store(l, r);
}

// The coefficients that follow knobs, brought up to date for a chunk: the
// settings only change between blocks.
inline void followKnobs(const AmpModel& model, AmpSide& side)
{
    if (model.channelB == 1) {
        side.toneStackB[model.focusB != 0 ? 1 : 0].follow(model.lowB, model.midB, model.highB, model.contourB);
    } else {
        side.toneStackA[model.focusA != 0 ? 1 : 0].follow(model.lowA, model.midA, model.highA, model.contourA);
        if (model.brightA == 1)
            side.brightShelfA.follow(model.driveAShaped, model.driveAShapedRoot);
    }
}

// The two-lane code, or one lane in mono.
template <class Lane>
inline void processTwoLane(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                           Lane* samples, size_t count, const FrameValues& frames)
{
    if (model.channelB == 1) {
        if (model.highGainB == 0)
            channelB<false>(model, rate, l, r, samples, count, frames);
        else
            channelB<true>(model, rate, l, r, samples, count, frames);
    } else {
        if (model.crunchA == 0)
            channelA<false>(model, rate, l, r, samples, count, frames);
        else
            channelA<true>(model, rate, l, r, samples, count, frames);
    }
}

inline int32_t sidesOf(const double*) { return 1; }
inline int32_t sidesOf(const DoublePair*) { return 2; }

// count samples in time order at the oversampled rate given, through the
// active channel and the output high-pass, on the model's path; l and r
// are the same record in mono.
template <class Lane>
inline void processChannelChunk(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                                Lane* samples, size_t count, const FrameValues& frames)
{
    followKnobs(model, l);
    if (&r != &l)
        followKnobs(model, r);
    if (model.chainPath == Path::kAvx2)
        processChannelChunkAvx2(model, rate, l, r, sidesOf(samples), reinterpret_cast<double*>(samples),
                                count, frames);
    else
        processTwoLane(model, rate, l, r, samples, count, frames);
}

}  // namespace ampchain
