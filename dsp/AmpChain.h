// The two preamp channels at the oversampled rate, from the first grid to the
// tone stack's output, for a pair of consecutive samples of one side (mono)
// or of both sides at once (stereo lanes). Each element runs on the earlier
// sample, then on the later, before the next element takes over.
#pragma once

#include "dsp/AmpModel.h"
#include "dsp/LaneRunners.h"

namespace ampchain {

template <class Element, class Lane, class... Controls>
inline void runPair(Element& l, Element& r, Lane& first, Lane& second, const Controls&... controls)
{
    run(l, r, controls..., first);
    run(l, r, controls..., second);
}

// Four triodes; gain shaped by shelves and lowpasses between them.
template <class Lane>
inline void channelB(const AmpModel& model, AmpSide& l, AmpSide& r, Lane& a, Lane& b)
{
    // Read once, so both samples and both sides see the same settings even
    // while another thread moves a knob.
    const double rate = model.oversampledRate;
    const double drive = model.driveB;
    const int32_t highGain = model.highGainB;
    const int32_t bottom = model.bottomB;
    const int32_t bright = model.brightB;
    const int32_t focus = model.focusB != 0 ? 1 : 0;
    const double low = model.lowB, mid = model.midB, high = model.highB;
    const double contour = model.contourB, contourGain = model.contourBShaped;

    runPair(l.triode[0], r.triode[0], a, b, rate);
    a = 0.75 * a;
    b = 0.75 * b;
    runPair(l.onePole750, r.onePole750, a, b);
    runPair(l.shelfB1, r.shelfB1, a, b);
    a = a * drive;
    b = b * drive;
    runPair(l.lowpass3k[0], r.lowpass3k[0], a, b);
    runPair(l.triode[1], r.triode[1], a, b, rate);
    if (highGain == 0) {
        runPair(l.lowGainShelfB, r.lowGainShelfB, a, b);
        a = 0.325 * a;
        b = 0.325 * b;
        runPair(l.onePole3000, r.onePole3000, a, b);
    } else {
        runPair(l.highGainShelfB, r.highGainShelfB, a, b);
        a = 0.716 * a;
        b = 0.716 * b;
        runPair(l.onePole2700, r.onePole2700, a, b);
    }
    runPair(l.lowpass3k[1], r.lowpass3k[1], a, b);
    runPair(l.lowpass5k[0], r.lowpass5k[0], a, b);
    runPair(l.triode[2], r.triode[2], a, b, rate);
    runPair(l.onePole3250, r.onePole3250, a, b);
    a = 0.8 * a;
    b = 0.8 * b;
    runPair(l.lowpass3k[2], r.lowpass3k[2], a, b);
    runPair(l.lowpass5k[1], r.lowpass5k[1], a, b);
    runPair(l.triode[3], r.triode[3], a, b, rate);
    if (bottom == 1)
        runPair(l.bottomShelfB, r.bottomShelfB, a, b);
    if (bright == 1)
        runPair(l.brightPeakB, r.brightPeakB, a, b);
    runPair(l.toneStackB[focus], r.toneStackB[focus], a, b, low, mid, high, contour);
    a = a * contourGain;
    b = b * contourGain;
}

// Three triodes; clean divides the second drive gain out again after the
// third triode, crunch keeps it.
template <class Lane>
inline void channelA(const AmpModel& model, AmpSide& l, AmpSide& r, Lane& a, Lane& b)
{
    const double rate = model.oversampledRate;
    const double drive = model.driveA;
    const double shaped = model.driveAShaped;
    const double shapedRoot = model.driveAShapedRoot;
    const double shapedInv = model.driveAShapedInv;
    const int32_t crunch = model.crunchA;
    const int32_t bottom = model.bottomA;
    const int32_t bright = model.brightA;
    const int32_t focus = model.focusA != 0 ? 1 : 0;
    const double low = model.lowA, mid = model.midA, high = model.highA;
    const double contour = model.contourA, contourGain = model.contourAShaped;

    runPair(l.triode[4], r.triode[4], a, b, rate);
    if (bottom == 0) {
        runPair(l.bottomHighpassA, r.bottomHighpassA, a, b);
    } else {
        runPair(l.bottomShelfA, r.bottomShelfA, a, b);
        a = 0.75 * a;
        b = 0.75 * b;
    }
    a = a * drive;
    b = b * drive;
    if (bright == 0) {
        a = a * shaped;
        b = b * shaped;
    } else {
        runWithGain(l.brightShelfA, r.brightShelfA, shaped, shapedRoot, a);
        runWithGain(l.brightShelfA, r.brightShelfA, shaped, shapedRoot, b);
    }
    runPair(l.triode[5], r.triode[5], a, b, rate);
    if (crunch == 0) {
        a = 0.018 * a;
        b = 0.018 * b;
        runPair(l.cleanLowShelfA, r.cleanLowShelfA, a, b);
    } else {
        a = 0.527 * a;
        b = 0.527 * b;
        runPair(l.crunchShelfA, r.crunchShelfA, a, b);
    }
    runPair(l.lowpass5k[2], r.lowpass5k[2], a, b);
    runPair(l.triode[6], r.triode[6], a, b, rate);
    if (crunch == 0) {
        const double makeUp = 3.0 * shapedInv;
        a = a * makeUp;
        b = b * makeUp;
    }
    runPair(l.toneStackA[focus], r.toneStackA[focus], a, b, low, mid, high, contour);
    a = a * contourGain * 1.58;
    b = b * contourGain * 1.58;
}

// l and r are the same record in mono.
template <class Lane>
inline void processChannelPair(const AmpModel& model, AmpSide& l, AmpSide& r, Lane& first,
                               Lane& second)
{
    if (model.channelB == 1)
        channelB(model, l, r, first, second);
    else
        channelA(model, l, r, first, second);
}

}  // namespace ampchain
