// The circuits of one audio side (left or right): both preamp channels, the
// half-band resamplers around them and the output high-pass. The channel
// switch only chooses which part runs; the rest keeps its state.
#pragma once

#include <utility>

#include "dsp/Biquad.h"
#include "dsp/HalfBand.h"
#include "dsp/ToneStack.h"
#include "dsp/TriodeStage.h"

namespace ka813 {

struct AmpSide {
    Biquad lowpass3k[3];  // channel B, 3000 Hz
    Biquad lowpass5k[3];  // [0], [1] channel B; [2] channel A; 5000 Hz
    OnePoleLowpass onePole750;   // channel B
    OnePoleLowpass onePole3000;  // channel B, low gain
    OnePoleLowpass onePole2700;  // channel B, high gain
    OnePoleLowpass onePole3250;  // channel B
    OnePoleHighpass bottomHighpassA;  // channel A, Bottom off (250 Hz)
    Biquad shelfB1;              // channel B
    ShelvingBiquad brightShelfA;  // channel A, Bright on; gain follows the shaped drive
    Biquad crunchShelfA;         // channel A, crunch
    Biquad lowGainShelfB;        // channel B, low gain
    Biquad highGainShelfB;       // channel B, high gain
    Biquad bottomShelfB;         // channel B, Bottom on
    Biquad bottomShelfA;         // channel A, Bottom on
    Biquad cleanLowShelfA;       // channel A, clean
    Biquad brightPeakB;          // channel B, Bright on
    ToneStack toneStackA[2];     // by Open/Focus
    ToneStack toneStackB[2];
    TriodeStage triode[7];       // channel B: 0 to 3; channel A: 4 to 6

    HalfBandUpsampler<12> stage1Up;  // host rate <-> 2x
    HalfBandDownsampler<12> stage1Down;
    HalfBandUpsampler<8> stage2Up;   // 2x <-> 4x
    HalfBandDownsampler<8> stage2Down;
    HalfBandUpsampler<4> stage3Up;   // 4x <-> 8x
    HalfBandDownsampler<4> stage3Down;

    Biquad outputFilter;  // 2 Hz high-pass after the chain

    // The stages after the chain, which both channels share. While the
    // channel switch moves, those above serve the channel it moves to, and
    // these hold them as the channel it moves from left them.
    struct AfterChain {
        Biquad outputFilter;
        HalfBandDownsampler<12> stage1Down;
        HalfBandDownsampler<8> stage2Down;
        HalfBandDownsampler<4> stage3Down;
    } leaving;

    // The channel switch starts to move: the channel it leaves goes on from
    // where the shared stages stand.
    void startLeaving() { leaving = {outputFilter, stage1Down, stage2Down, stage3Down}; }
    // Hands the shared stages to the other channel and back.
    void swapLeaving()
    {
        std::swap(outputFilter, leaving.outputFilter);
        std::swap(stage1Down, leaving.stage1Down);
        std::swap(stage2Down, leaving.stage2Down);
        std::swap(stage3Down, leaving.stage3Down);
    }
};

}  // namespace ka813
