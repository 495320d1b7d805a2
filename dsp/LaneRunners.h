// The building blocks' per-sample formulas run over a group of consecutive
// samples, on one side (mono) or on both sides in lanes (stereo). Each group
// runner loads its section's state once, keeps it in registers through the
// group and stores it back once; per sample it computes exactly what the
// block's own process does, in the same order.
//
// In mono l and r are the same record and only l is used. In stereo the
// coefficients are read from the left record: both sides are always designed
// alike. Blocks whose coefficients follow a knob lazily (the tone stack, the
// gain-following shelf) run with their own code, side by side, so each side
// keeps its own cache.
#pragma once

#include <cstddef>

#include "dsp/Biquad.h"
#include "dsp/Lanes.h"
#include "dsp/ToneStack.h"
#include "dsp/TriodeStage.h"

template <class Lane, size_t G>
inline void runGroup(Biquad& l, Biquad& r, Lane (&samples)[G])
{
    const Lane invA0 = splat<Lane>(l.invA0);
    const Lane a1 = splat<Lane>(l.a1), a2 = splat<Lane>(l.a2);
    const Lane b0 = splat<Lane>(l.b0), b1 = splat<Lane>(l.b1), b2 = splat<Lane>(l.b2);
    Lane x1 = loadLanes<Lane>(l.x1, r.x1), x2 = loadLanes<Lane>(l.x2, r.x2);
    Lane y1 = loadLanes<Lane>(l.y1, r.y1), y2 = loadLanes<Lane>(l.y2, r.y2);
    for (Lane& sample : samples) {
        const Lane x = sample;
        const Lane y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) * invA0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        sample = y;
    }
    storeLanes(x1, l.x1, r.x1);
    storeLanes(x2, l.x2, r.x2);
    storeLanes(y1, l.y1, r.y1);
    storeLanes(y2, l.y2, r.y2);
}

template <class Lane, size_t G>
inline void runGroup(OnePoleLowpass& l, OnePoleLowpass& r, Lane (&samples)[G])
{
    const Lane input = splat<Lane>(l.input), feedback = splat<Lane>(l.feedback);
    Lane state = loadLanes<Lane>(l.state, r.state);
    for (Lane& sample : samples) {
        state = input * sample + feedback * state;
        sample = state;
    }
    storeLanes(state, l.state, r.state);
}

template <class Lane, size_t G>
inline void runGroup(OnePoleHighpass& l, OnePoleHighpass& r, Lane (&samples)[G])
{
    const Lane m = splat<Lane>(l.coefficient);
    Lane lastInput = loadLanes<Lane>(l.lastInput, r.lastInput);
    Lane lastOutput = loadLanes<Lane>(l.lastOutput, r.lastOutput);
    for (Lane& sample : samples) {
        const Lane x = sample;
        const Lane y = m * (x - lastInput) + m * lastOutput;
        lastInput = x;
        lastOutput = y;
        sample = y;
    }
    storeLanes(lastInput, l.lastInput, r.lastInput);
    storeLanes(lastOutput, l.lastOutput, r.lastOutput);
}

// The triode curve by Horner's rule, numerator and denominator.
template <class Lane>
inline Lane evaluateTriodeCurve(const Lane (&curve)[13], Lane v)
{
    Lane numerator = curve[12];
    numerator = numerator * v + curve[10];
    numerator = numerator * v + curve[8];
    numerator = numerator * v + curve[6];
    numerator = numerator * v + curve[4];
    numerator = numerator * v + curve[2];
    numerator = numerator * v + curve[0];
    Lane denominator = curve[11];
    denominator = denominator * v + curve[9];
    denominator = denominator * v + curve[7];
    denominator = denominator * v + curve[5];
    denominator = denominator * v + curve[3];
    denominator = denominator * v + curve[1];
    denominator = denominator * v + splat<Lane>(1.0);
    return numerator / denominator;
}

// A branch runs when any lane takes it; the lanes that do not take it
// discard what it gave, whatever that was.
template <class Lane, size_t G>
inline void runGroup(TriodeStage& l, TriodeStage& r, Lane (&samples)[G], const double& rate)
{
    const double h = l.gridCurrentFactor;
    const Lane fourH = splat<Lane>(4.0 * h), twoH = splat<Lane>(2.0 * h);
    const Lane halfInvGridFactor = splat<Lane>(l.halfInvGridFactor);
    const Lane invGridResistor = splat<Lane>(l.invGridResistor);
    const Lane invPlateResistor = splat<Lane>(l.invPlateResistor);
    const Lane supply = splat<Lane>(l.supplyVoltage);
    const Lane coupling = splat<Lane>(l.couplingCoefficient);
    const Lane cathodeCapacitor = splat<Lane>(l.cathodeCapacitor);
    const Lane cathodeCoefficient = splat<Lane>(l.cathodeCoefficient);
    const Lane sampleRate = splat<Lane>(rate);
    const Lane one = splat<Lane>(1.0), zero = splat<Lane>(0.0);
    const Lane cutoff = splat<Lane>(kTriodeCutoffVoltage);
    Lane curve[13];
    for (int i = 0; i < 13; ++i)
        curve[i] = splat<Lane>(l.curve[i]);

    Lane gridVoltage = loadLanes<Lane>(l.gridVoltage, r.gridVoltage);
    Lane gridCurrent = loadLanes<Lane>(l.gridCurrent, r.gridCurrent);
    Lane cathodeVoltage = loadLanes<Lane>(l.cathodeVoltage, r.cathodeVoltage);
    Lane plateVoltage = loadLanes<Lane>(l.plateVoltage, r.plateVoltage);
    Lane plateCurrent = loadLanes<Lane>(l.plateCurrent, r.plateCurrent);
    Lane output = loadLanes<Lane>(l.output, r.output);

    for (Lane& sample : samples) {
        const Lane x = sample;
        gridVoltage = x;
        const auto conducts = greaterThan(x - cathodeVoltage, zero);
        if (anyLane(conducts)) {
            const Lane root = squareRoot(one - fourH * cathodeVoltage + fourH * x);
            gridVoltage = select(conducts, (root + twoH * cathodeVoltage - one) * halfInvGridFactor, x);
        }
        gridCurrent = (x - gridVoltage) * invGridResistor;

        const Lane v = gridVoltage - cathodeVoltage;
        const auto cutOff = lessThan(v, cutoff);
        Lane plateToCathode = supply;
        if (!allLanes(cutOff)) {
            plateToCathode = evaluateTriodeCurve(curve, v);
            if (anyLane(cutOff))
                plateToCathode = select(cutOff, supply, plateToCathode);
        }

        const Lane previousPlateVoltage = plateVoltage;
        plateVoltage = cathodeVoltage + plateToCathode;
        plateCurrent = (supply - plateVoltage) * invPlateResistor;
        output = coupling * (output + plateVoltage - previousPlateVoltage);
        sample = output;

        const Lane cathode =
            (cathodeCapacitor * cathodeVoltage * sampleRate + plateCurrent + gridCurrent)
            * cathodeCoefficient;
        cathodeVoltage = select(greaterThan(cathode, zero), cathode, zero);
    }

    storeLanes(gridVoltage, l.gridVoltage, r.gridVoltage);
    storeLanes(gridCurrent, l.gridCurrent, r.gridCurrent);
    storeLanes(cathodeVoltage, l.cathodeVoltage, r.cathodeVoltage);
    storeLanes(plateVoltage, l.plateVoltage, r.plateVoltage);
    storeLanes(plateCurrent, l.plateCurrent, r.plateCurrent);
    storeLanes(output, l.output, r.output);
}

template <size_t G>
inline void runGroup(ToneStack& stack, ToneStack&, double (&samples)[G], const double& bass,
                     const double& mid, const double& treble, const double& contour)
{
    for (double& sample : samples)
        stack.process(bass, mid, treble, contour, sample);
}

template <size_t G>
inline void runGroup(ToneStack& l, ToneStack& r, DoublePair (&samples)[G], const double& bass,
                     const double& mid, const double& treble, const double& contour)
{
    double left[G], right[G];
    for (size_t i = 0; i < G; ++i) {
        left[i] = samples[i].left();
        right[i] = samples[i].right();
    }
    runGroup(l, l, left, bass, mid, treble, contour);
    runGroup(r, r, right, bass, mid, treble, contour);
    for (size_t i = 0; i < G; ++i)
        samples[i] = DoublePair(left[i], right[i]);
}

template <size_t G>
inline void runGroupWithGain(ShelvingBiquad& shelf, ShelvingBiquad&, double (&samples)[G],
                             const double& gain, const double& root)
{
    for (double& sample : samples)
        shelf.processWithGain(gain, root, sample);
}

template <size_t G>
inline void runGroupWithGain(ShelvingBiquad& l, ShelvingBiquad& r, DoublePair (&samples)[G],
                             const double& gain, const double& root)
{
    double left[G], right[G];
    for (size_t i = 0; i < G; ++i) {
        left[i] = samples[i].left();
        right[i] = samples[i].right();
    }
    runGroupWithGain(l, l, left, gain, root);
    runGroupWithGain(r, r, right, gain, root);
    for (size_t i = 0; i < G; ++i)
        samples[i] = DoublePair(left[i], right[i]);
}
