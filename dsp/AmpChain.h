// The two preamp channels at the oversampled rate, from the first grid to the
// tone stack's output, for a group of consecutive samples (two, four or
// eight: one host frame) of one side (mono) or of both sides at once (stereo
// lanes). Each element runs on the group's samples in time order before the
// next element takes over. An element depends only on its own state and its
// input sequence, so this gives what running each sample through the whole
// chain in turn gives; it leaves the processor several samples to work on
// at once instead of one long chain of dependent operations.
#pragma once

#include <cstddef>

#include "dsp/AmpModel.h"

namespace ampchain {

template <class Lane, size_t G>
inline void scaleGroup(Lane (&samples)[G], double factor)
{
    for (Lane& sample : samples)
        sample = sample * factor;
}

template <class Segment, class Lane, size_t G>
inline void runSegmentAt(const Segment& segment, Lane (&samples)[G], size_t step, size_t index)
{
    if (step >= index && step - index < G) {
        Lane sample[1] = {samples[step - index]};
        segment(sample);
        samples[step - index] = sample[0];
    }
}

// The chain cut into segments, one triode each with what follows it, run
// skewed: at step t segment s takes sample t - s. The segments of one step
// work on different samples and so do not wait for each other; the
// triodes' long per-sample recursions then overlap instead of queueing.
// Each segment still sees its samples in time order.
template <class Lane, size_t G, class... Segments>
inline void runSkewed(Lane (&samples)[G], const Segments&... segments)
{
    constexpr size_t count = sizeof...(Segments);
    for (size_t step = 0; step + 1 < G + count; ++step) {
        size_t index = 0;
        (runSegmentAt(segments, samples, step, index++), ...);
    }
}

// Four triodes; gain shaped by shelves and lowpasses between them.
template <class Lane, size_t G>
inline void channelB(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                     Lane (&samples)[G])
{
    // Read once, so all samples and both sides see the same settings even
    // while another thread moves a knob.
    const double drive = model.driveB;
    const int32_t highGain = model.highGainB;
    const int32_t bottom = model.bottomB;
    const int32_t bright = model.brightB;
    const int32_t focus = model.focusB != 0 ? 1 : 0;
    const double low = model.lowB, mid = model.midB, high = model.highB;
    const double contour = model.contourB, contourGain = model.contourBShaped;

    using One = Lane[1];
    runSkewed(
        samples,
        [&](One& x) {
            runGroup(l.triode[0], r.triode[0], x, rate);
            scaleGroup(x, 0.75);
            runGroup(l.onePole750, r.onePole750, x);
            runGroup(l.shelfB1, r.shelfB1, x);
            scaleGroup(x, drive);
            runGroup(l.lowpass3k[0], r.lowpass3k[0], x);
        },
        [&](One& x) {
            runGroup(l.triode[1], r.triode[1], x, rate);
            if (highGain == 0) {
                runGroup(l.lowGainShelfB, r.lowGainShelfB, x);
                scaleGroup(x, 0.325);
                runGroup(l.onePole3000, r.onePole3000, x);
            } else {
                runGroup(l.highGainShelfB, r.highGainShelfB, x);
                scaleGroup(x, 0.716);
                runGroup(l.onePole2700, r.onePole2700, x);
            }
            runGroup(l.lowpass3k[1], r.lowpass3k[1], x);
            runGroup(l.lowpass5k[0], r.lowpass5k[0], x);
        },
        [&](One& x) {
            runGroup(l.triode[2], r.triode[2], x, rate);
            runGroup(l.onePole3250, r.onePole3250, x);
            scaleGroup(x, 0.8);
            runGroup(l.lowpass3k[2], r.lowpass3k[2], x);
            runGroup(l.lowpass5k[1], r.lowpass5k[1], x);
        },
        [&](One& x) {
            runGroup(l.triode[3], r.triode[3], x, rate);
            if (bottom == 1)
                runGroup(l.bottomShelfB, r.bottomShelfB, x);
            if (bright == 1)
                runGroup(l.brightPeakB, r.brightPeakB, x);
            runGroup(l.toneStackB[focus], r.toneStackB[focus], x, low, mid, high, contour);
            scaleGroup(x, contourGain);
        });
}

// Three triodes; clean divides the second drive gain out again after the
// third triode, crunch keeps it.
template <class Lane, size_t G>
inline void channelA(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                     Lane (&samples)[G])
{
    const double drive = model.driveA;
    const double shaped = model.driveAShaped;
    const double shapedRoot = model.driveAShapedRoot;
    const double makeUp = 3.0 * model.driveAShapedInv;
    const int32_t crunch = model.crunchA;
    const int32_t bottom = model.bottomA;
    const int32_t bright = model.brightA;
    const int32_t focus = model.focusA != 0 ? 1 : 0;
    const double low = model.lowA, mid = model.midA, high = model.highA;
    const double contour = model.contourA, contourGain = model.contourAShaped;

    using One = Lane[1];
    runSkewed(
        samples,
        [&](One& x) {
            runGroup(l.triode[4], r.triode[4], x, rate);
            if (bottom == 0) {
                runGroup(l.bottomHighpassA, r.bottomHighpassA, x);
            } else {
                runGroup(l.bottomShelfA, r.bottomShelfA, x);
                scaleGroup(x, 0.75);
            }
            scaleGroup(x, drive);
            if (bright == 0)
                scaleGroup(x, shaped);
            else
                runGroupWithGain(l.brightShelfA, r.brightShelfA, x, shaped, shapedRoot);
        },
        [&](One& x) {
            runGroup(l.triode[5], r.triode[5], x, rate);
            if (crunch == 0) {
                scaleGroup(x, 0.018);
                runGroup(l.cleanLowShelfA, r.cleanLowShelfA, x);
            } else {
                scaleGroup(x, 0.527);
                runGroup(l.crunchShelfA, r.crunchShelfA, x);
            }
            runGroup(l.lowpass5k[2], r.lowpass5k[2], x);
        },
        [&](One& x) {
            runGroup(l.triode[6], r.triode[6], x, rate);
            if (crunch == 0)
                scaleGroup(x, makeUp);
            runGroup(l.toneStackA[focus], r.toneStackA[focus], x, low, mid, high, contour);
            scaleGroup(x, contourGain);
            scaleGroup(x, 1.58);
        });
}

// samples in time order at the oversampled rate given; l and r are the
// same record in mono.
template <class Lane, size_t G>
inline void processChannelGroup(const AmpModel& model, const double& rate, AmpSide& l, AmpSide& r,
                                Lane (&samples)[G])
{
    if (model.channelB == 1)
        channelB(model, rate, l, r, samples);
    else
        channelA(model, rate, l, r, samples);
}

}  // namespace ampchain
