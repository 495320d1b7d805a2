// The wiring of the two preamp channels, written once for any lane type:
// which elements follow each triode, in what order, with which fixed
// scalings. A channel is its elements' steppers (state loaded at
// construction, stored by store) and after<g>(i, x), the work between the
// output x of its triode g and the next triode's grid, on sample i of the
// chunk. Who steps the triodes, and in what skew, is the path's business.
#pragma once

#include <cstddef>
#include <cstdint>

#include "dsp/AmpModel.h"
#include "dsp/ChainPath.h"
#include "dsp/CircuitValues.h"

namespace ka813 {

// The chain's output through the output scaling and the side's output high-pass.
template <class Lane>
struct OutputStepper : BiquadStepper<Lane> {
    [[gnu::always_inline]] OutputStepper(const AmpSide& l, const AmpSide& r) : BiquadStepper<Lane>(l.outputFilter, r.outputFilter) {}
    [[gnu::always_inline]] Lane step(const Lane x) { return BiquadStepper<Lane>::step(kPlateToOutputScale * x); }
    [[gnu::always_inline]] void store(AmpSide& l, AmpSide& r) const { BiquadStepper<Lane>::store(l.outputFilter, r.outputFilter); }
};

// What every channel holds besides its elements: the sides, the chunk's
// samples and per-frame drive, its Bottom and Bright switches, its output
// gain, its switch positions and the tone stack it runs.
template <class Lane>
struct ChannelParts {
    AmpSide& l;
    AmpSide& r;
    Lane* const samples;
    const double* const drive;
    const int32_t shift;
    const int32_t bottom;
    const int32_t bright;
    const double contourGain;
    const double* const* positions;
    ToneStack& stackL;
    ToneStack& stackR;
};

// Four triodes; gain shaped by shelves and lowpasses between them. The
// first design is low gain, the second high gain.
template <Form form, class Lane>
class ChannelB : ChannelParts<Lane> {
public:
    static constexpr size_t kFirstTriode = 0;
    static constexpr size_t kTriodes = 4;
    static constexpr bool kGliding = form == Form::kGliding;
    static constexpr bool highGain = form == Form::kSecond;

    ChannelB(const AmpModel& model, AmpSide& l, AmpSide& r, Lane* samples, const FrameValues& frames)
        : ChannelParts<Lane>{l,
                             r,
                             samples,
                             frames.driveB,
                             frames.shift,
                             model.bottomB,
                             model.brightB,
                             frames.contourB,
                             frames.glideB,
                             l.toneStackB[!kGliding && model.focusB != 0 ? 1 : 0],
                             r.toneStackB[!kGliding && model.focusB != 0 ? 1 : 0]},
          gainShelfL(highGain ? l.highGainShelfB : l.lowGainShelfB),
          gainShelfR(highGain ? r.highGainShelfB : r.lowGainShelfB),
          gainPoleL(highGain ? l.onePole2700 : l.onePole3000),
          gainPoleR(highGain ? r.onePole2700 : r.onePole3000),
          onePole750(l.onePole750, r.onePole750),
          shelf1(l.shelfB1, r.shelfB1),
          lowpass3k0(l.lowpass3k[0], r.lowpass3k[0]),
          gainShelf(gainShelfL, gainShelfR),
          gainPole(gainPoleL, gainPoleR),
          lowpass3k1(l.lowpass3k[1], r.lowpass3k[1]),
          lowpass5k0(l.lowpass5k[0], r.lowpass5k[0]),
          onePole3250(l.onePole3250, r.onePole3250),
          lowpass3k2(l.lowpass3k[2], r.lowpass3k[2]),
          lowpass5k1(l.lowpass5k[1], r.lowpass5k[1]),
          bottomShelf(l.bottomShelfB, r.bottomShelfB),
          brightPeak(l.brightPeakB, r.brightPeakB),
          toneStack(stackL, stackR),
          focusStack(l.toneStackB[1], r.toneStackB[1]),
          highGainShelf(l.highGainShelfB, r.highGainShelfB),
          highGainPole(l.onePole2700, r.onePole2700),
          output(l, r)
    {
    }

    template <size_t g>
    [[gnu::always_inline]] void after(size_t i, Lane x)
    {
        static_assert(g < kTriodes, "a stage of this channel");
        constexpr double gainDivider = highGain ? kHighGainDividerB : kLowGainDividerB;
        if constexpr (kGliding) {
            if constexpr (g == 1) {
                const size_t frame = i >> shift;
                const Lane low = gainPole.step(gainShelf.step(x) * kLowGainDividerB);
                const Lane high = highGainPole.step(highGainShelf.step(x) * kHighGainDividerB);
                x = glide(low, high, positions[kModeGlide][frame]);
                samples[i] = lowpass5k0.step(lowpass3k1.step(x));
                return;
            } else if constexpr (g == 3) {
                const size_t frame = i >> shift;
                x = glide(x, bottomShelf.step(x), positions[kBottomGlide][frame]);
                x = glide(x, brightPeak.step(x), positions[kBrightGlide][frame]);
                x = glide(toneStack.step(x), focusStack.step(x), positions[kFocusGlide][frame]);
                samples[i] = output.step(x * contourGain);
                return;
            }
        }
        if constexpr (g == 0) {
            x = onePole750.step(x * kFirstDividerB);
            x = shelf1.step(x);
            samples[i] = lowpass3k0.step(x * drive[i >> shift]);
        } else if constexpr (g == 1) {
            x = gainPole.step(gainShelf.step(x) * gainDivider);
            samples[i] = lowpass5k0.step(lowpass3k1.step(x));
        } else if constexpr (g == 2) {
            x = onePole3250.step(x) * kThirdDividerB;
            samples[i] = lowpass5k1.step(lowpass3k2.step(x));
        } else {
            if (bottom == 1)
                x = bottomShelf.step(x);
            if (bright == 1)
                x = brightPeak.step(x);
            samples[i] = output.step(toneStack.step(x) * contourGain);
        }
    }

    void store() const
    {
        onePole750.store(l.onePole750, r.onePole750);
        shelf1.store(l.shelfB1, r.shelfB1);
        lowpass3k0.store(l.lowpass3k[0], r.lowpass3k[0]);
        gainShelf.store(gainShelfL, gainShelfR);
        gainPole.store(gainPoleL, gainPoleR);
        lowpass3k1.store(l.lowpass3k[1], r.lowpass3k[1]);
        lowpass5k0.store(l.lowpass5k[0], r.lowpass5k[0]);
        onePole3250.store(l.onePole3250, r.onePole3250);
        lowpass3k2.store(l.lowpass3k[2], r.lowpass3k[2]);
        lowpass5k1.store(l.lowpass5k[1], r.lowpass5k[1]);
        bottomShelf.store(l.bottomShelfB, r.bottomShelfB);
        brightPeak.store(l.brightPeakB, r.brightPeakB);
        toneStack.store(stackL, stackR);
        if constexpr (kGliding) {
            focusStack.store(l.toneStackB[1], r.toneStackB[1]);
            highGainShelf.store(l.highGainShelfB, r.highGainShelfB);
            highGainPole.store(l.onePole2700, r.onePole2700);
        }
        output.store(l, r);
    }

private:
    using Parts = ChannelParts<Lane>;
    using Parts::l, Parts::r, Parts::samples, Parts::drive, Parts::shift, Parts::bottom, Parts::bright;
    using Parts::contourGain, Parts::positions, Parts::stackL, Parts::stackR;

    Biquad& gainShelfL;
    Biquad& gainShelfR;
    OnePoleLowpass& gainPoleL;
    OnePoleLowpass& gainPoleR;

    OnePoleLowpassStepper<Lane> onePole750;
    BiquadStepper<Lane> shelf1;
    BiquadStepper<Lane> lowpass3k0;
    BiquadStepper<Lane> gainShelf;
    OnePoleLowpassStepper<Lane> gainPole;
    BiquadStepper<Lane> lowpass3k1;
    BiquadStepper<Lane> lowpass5k0;
    OnePoleLowpassStepper<Lane> onePole3250;
    BiquadStepper<Lane> lowpass3k2;
    BiquadStepper<Lane> lowpass5k1;
    BiquadStepper<Lane> bottomShelf;
    BiquadStepper<Lane> brightPeak;
    ToneStackStepper<Lane> toneStack;
    // Run only while the channel glides: Focus, and the high gain design
    // beside the low gain one.
    ToneStackStepper<Lane> focusStack;
    BiquadStepper<Lane> highGainShelf;
    OnePoleLowpassStepper<Lane> highGainPole;
    OutputStepper<Lane> output;
};

// Three triodes; clean divides the second drive gain out again after the
// third triode, crunch keeps it. The first design is clean, the second
// crunch.
template <Form form, class Lane>
class ChannelA : ChannelParts<Lane> {
public:
    static constexpr size_t kFirstTriode = 4;
    static constexpr size_t kTriodes = 3;
    static constexpr bool kGliding = form == Form::kGliding;
    static constexpr bool crunch = form == Form::kSecond;

    ChannelA(const AmpModel& model, AmpSide& l, AmpSide& r, Lane* samples, const FrameValues& frames)
        : ChannelParts<Lane>{l,
                             r,
                             samples,
                             frames.driveA,
                             frames.shift,
                             model.bottomA,
                             model.brightA,
                             frames.contourA,
                             frames.glideA,
                             l.toneStackA[!kGliding && model.focusA != 0 ? 1 : 0],
                             r.toneStackA[!kGliding && model.focusA != 0 ? 1 : 0]},
          shaped(model.driveAShaped),
          makeUp(kCleanMakeUpA * model.driveAShapedInv),
          gainsOverClean(frames.gainsOverCleanA),
          modeShelfL(crunch ? l.crunchShelfA : l.cleanLowShelfA),
          modeShelfR(crunch ? r.crunchShelfA : r.cleanLowShelfA),
          bottomHighpass(l.bottomHighpassA, r.bottomHighpassA),
          bottomShelf(l.bottomShelfA, r.bottomShelfA),
          brightShelf(l.brightShelfA, r.brightShelfA),
          modeShelf(modeShelfL, modeShelfR),
          lowpass5k(l.lowpass5k[2], r.lowpass5k[2]),
          toneStack(stackL, stackR),
          focusStack(l.toneStackA[1], r.toneStackA[1]),
          crunchShelf(l.crunchShelfA, r.crunchShelfA),
          output(l, r)
    {
    }

    template <size_t g>
    [[gnu::always_inline]] void after(size_t i, Lane x)
    {
        static_assert(g < kTriodes, "a stage of this channel");
        constexpr double modeDivider = crunch ? kCrunchDividerA : kCleanDividerA;
        if constexpr (kGliding) {
            const size_t frame = i >> shift;
            if constexpr (g == 0) {
                const Lane open = bottomHighpass.step(x);
                x = glide(open, bottomShelf.step(x) * kBottomShelfMakeUpA, positions[kBottomGlide][frame]);
                x = x * drive[frame];
                samples[i] = glide(x * shaped, brightShelf.step(x), positions[kBrightGlide][frame]);
            } else if constexpr (g == 1) {
                const Lane clean = modeShelf.step(x * kCleanDividerA);
                x = glide(clean, crunchShelf.step(x * kCrunchDividerA), positions[kModeGlide][frame]);
                samples[i] = lowpass5k.step(x);
            } else {
                // The crunch design feeds this triode kCrunchOverCleanA times the
                // level the clean one does; the make-up follows the mix of the two,
                // so that the level after the triode glides from clean's to crunch's.
                // Clean's share is made up for the gains as clean sets them: the
                // gains glide to the other mode's meanwhile.
                const double p = positions[kModeGlide][frame];
                const double level = 1.0 + p * (kCrunchOverCleanA - 1.0);
                const double cleanShare = (1.0 - p) * makeUp / gainsOverClean[frame];
                x = x * ((cleanShare + p * kCrunchOverCleanA) / level);
                x = glide(toneStack.step(x), focusStack.step(x), positions[kFocusGlide][frame]) * contourGain;
                samples[i] = output.step(x * kOutputGainA);
            }
            return;
        }
        if constexpr (g == 0) {
            if (bottom == 0)
                x = bottomHighpass.step(x);
            else
                x = bottomShelf.step(x) * kBottomShelfMakeUpA;
            x = x * drive[i >> shift];
            samples[i] = bright == 0 ? x * shaped : brightShelf.step(x);
        } else if constexpr (g == 1) {
            x = modeShelf.step(x * modeDivider);
            samples[i] = lowpass5k.step(x);
        } else {
            if (!crunch)
                x = x * makeUp;
            x = toneStack.step(x) * contourGain;
            samples[i] = output.step(x * kOutputGainA);
        }
    }

    void store() const
    {
        bottomHighpass.store(l.bottomHighpassA, r.bottomHighpassA);
        bottomShelf.store(l.bottomShelfA, r.bottomShelfA);
        brightShelf.store(l.brightShelfA, r.brightShelfA);
        modeShelf.store(modeShelfL, modeShelfR);
        lowpass5k.store(l.lowpass5k[2], r.lowpass5k[2]);
        toneStack.store(stackL, stackR);
        if constexpr (kGliding) {
            focusStack.store(l.toneStackA[1], r.toneStackA[1]);
            crunchShelf.store(l.crunchShelfA, r.crunchShelfA);
        }
        output.store(l, r);
    }

private:
    using Parts = ChannelParts<Lane>;
    using Parts::l, Parts::r, Parts::samples, Parts::drive, Parts::shift, Parts::bottom, Parts::bright;
    using Parts::contourGain, Parts::positions, Parts::stackL, Parts::stackR;

    const double shaped;
    const double makeUp;
    const double* const gainsOverClean;
    Biquad& modeShelfL;
    Biquad& modeShelfR;

    OnePoleHighpassStepper<Lane> bottomHighpass;
    BiquadStepper<Lane> bottomShelf;
    BiquadStepper<Lane> brightShelf;
    BiquadStepper<Lane> modeShelf;
    BiquadStepper<Lane> lowpass5k;
    ToneStackStepper<Lane> toneStack;
    // Run only while the channel glides: Focus, and the crunch design beside
    // the clean one.
    ToneStackStepper<Lane> focusStack;
    BiquadStepper<Lane> crunchShelf;
    OutputStepper<Lane> output;
};

// A channel type, handed over as a value.
template <class Channel>
struct ChannelTag {
    using Type = Channel;
};

// run(ChannelTag<Channel>()) with the channel type of the circuit. run
// constructs the channel, steps its triodes with its after steps, and
// stores it.
template <class Lane, class Run>
inline void forCircuit(Circuit circuit, const Run& run)
{
    if (circuit.channelB) {
        if (circuit.form == Form::kFirst)
            run(ChannelTag<ChannelB<Form::kFirst, Lane>>());
        else if (circuit.form == Form::kSecond)
            run(ChannelTag<ChannelB<Form::kSecond, Lane>>());
        else
            run(ChannelTag<ChannelB<Form::kGliding, Lane>>());
    } else {
        if (circuit.form == Form::kFirst)
            run(ChannelTag<ChannelA<Form::kFirst, Lane>>());
        else if (circuit.form == Form::kSecond)
            run(ChannelTag<ChannelA<Form::kSecond, Lane>>());
        else
            run(ChannelTag<ChannelA<Form::kGliding, Lane>>());
    }
}

}  // namespace ka813
