// Per-sample runners of the building blocks for either lane type. The
// mono overloads run the block's own code on the left record (the right
// one is not touched); the stereo overloads run the left and right records
// together, in the block's order of operations, one side per lane.
//
// The stereo runners read the coefficients from the left record only: both
// sides are always designed alike. Blocks whose coefficients follow a knob
// lazily (the tone stack, the gain-following shelf) run lane by lane with
// their own code, so each side keeps its own cache.
#pragma once

#include "dsp/Biquad.h"
#include "dsp/Lanes.h"
#include "dsp/ToneStack.h"
#include "dsp/TriodeStage.h"

// Mono.

inline void run(Biquad& section, Biquad&, double& sample) { section.process(sample); }
inline void run(OnePoleLowpass& section, OnePoleLowpass&, double& sample) { section.process(sample); }
inline void run(OnePoleHighpass& section, OnePoleHighpass&, double& sample) { section.process(sample); }

inline void run(TriodeStage& stage, TriodeStage&, const double& rate, double& sample)
{
    stage.process(sample, rate);
}

inline void run(ToneStack& stack, ToneStack&, const double& bass, const double& mid,
                const double& treble, const double& contour, double& sample)
{
    stack.process(bass, mid, treble, contour, sample);
}

inline void runWithGain(ShelvingBiquad& shelf, ShelvingBiquad&, const double& gain,
                        const double& root, double& sample)
{
    shelf.processWithGain(gain, root, sample);
}

// Stereo.

inline void run(Biquad& l, Biquad& r, DoublePair& sample)
{
    const DoublePair x = sample;
    const DoublePair x1 = loadPair(l.x1, r.x1);
    const DoublePair x2 = loadPair(l.x2, r.x2);
    const DoublePair y1 = loadPair(l.y1, r.y1);
    const DoublePair y2 = loadPair(l.y2, r.y2);
    const DoublePair y =
        (l.b0 * x + l.b1 * x1 + l.b2 * x2 - l.a1 * y1 - l.a2 * y2) * l.invA0;
    storePair(x1, l.x2, r.x2);
    storePair(x, l.x1, r.x1);
    storePair(y1, l.y2, r.y2);
    storePair(y, l.y1, r.y1);
    sample = y;
}

inline void run(OnePoleLowpass& l, OnePoleLowpass& r, DoublePair& sample)
{
    const DoublePair state = l.input * sample + l.feedback * loadPair(l.state, r.state);
    storePair(state, l.state, r.state);
    sample = state;
}

inline void run(OnePoleHighpass& l, OnePoleHighpass& r, DoublePair& sample)
{
    const DoublePair x = sample;
    const DoublePair y = l.coefficient * (x - loadPair(l.lastInput, r.lastInput))
                         + l.coefficient * loadPair(l.lastOutput, r.lastOutput);
    storePair(x, l.lastInput, r.lastInput);
    storePair(y, l.lastOutput, r.lastOutput);
    sample = y;
}

inline DoublePair evaluateTriodeCurve(const double (&curve)[13], DoublePair v)
{
    DoublePair numerator = broadcast(curve[12]);
    numerator = numerator * v + broadcast(curve[10]);
    numerator = numerator * v + broadcast(curve[8]);
    numerator = numerator * v + broadcast(curve[6]);
    numerator = numerator * v + broadcast(curve[4]);
    numerator = numerator * v + broadcast(curve[2]);
    numerator = numerator * v + broadcast(curve[0]);
    DoublePair denominator = broadcast(curve[11]);
    denominator = denominator * v + broadcast(curve[9]);
    denominator = denominator * v + broadcast(curve[7]);
    denominator = denominator * v + broadcast(curve[5]);
    denominator = denominator * v + broadcast(curve[3]);
    denominator = denominator * v + broadcast(curve[1]);
    denominator = denominator * v + broadcast(1.0);
    return numerator / denominator;
}

// Both branches of the stage are computed and the lanes pick theirs; a
// branch a lane does not take may produce anything, it is discarded.
inline void run(TriodeStage& l, TriodeStage& r, const double& rate, DoublePair& sample)
{
    const DoublePair x = sample;
    const DoublePair cathodeVoltage = loadPair(l.cathodeVoltage, r.cathodeVoltage);
    const DoublePair zero = broadcast(0.0);

    const double h = l.gridCurrentFactor;
    const DoublePair conducting =
        (squareRoot(1.0 - 4.0 * h * cathodeVoltage + 4.0 * h * x) + 2.0 * h * cathodeVoltage
         - broadcast(1.0))
        * l.halfInvGridFactor;
    const DoublePair gridVoltage =
        select(_mm_cmpgt_pd((x - cathodeVoltage).v, zero.v), conducting, x);
    const DoublePair gridCurrent = (x - gridVoltage) * l.invGridResistor;

    const DoublePair v = gridVoltage - cathodeVoltage;
    const DoublePair supply = broadcast(l.supplyVoltage);
    const DoublePair plateToCathode =
        select(_mm_cmplt_pd(v.v, broadcast(kTriodeCutoffVoltage).v), supply,
               evaluateTriodeCurve(l.curve, v));

    const DoublePair previousPlateVoltage = loadPair(l.plateVoltage, r.plateVoltage);
    const DoublePair plateVoltage = cathodeVoltage + plateToCathode;
    const DoublePair plateCurrent = (supply - plateVoltage) * l.invPlateResistor;
    const DoublePair output = l.couplingCoefficient
                              * (loadPair(l.output, r.output) + plateVoltage - previousPlateVoltage);

    const DoublePair cathode =
        (l.cathodeCapacitor * cathodeVoltage * rate + plateCurrent + gridCurrent)
        * l.cathodeCoefficient;
    const DoublePair newCathodeVoltage =
        DoublePair(_mm_and_pd(_mm_cmpgt_pd(cathode.v, zero.v), cathode.v));

    storePair(gridVoltage, l.gridVoltage, r.gridVoltage);
    storePair(gridCurrent, l.gridCurrent, r.gridCurrent);
    storePair(plateVoltage, l.plateVoltage, r.plateVoltage);
    storePair(plateCurrent, l.plateCurrent, r.plateCurrent);
    storePair(output, l.output, r.output);
    storePair(newCathodeVoltage, l.cathodeVoltage, r.cathodeVoltage);
    sample = output;
}

inline void run(ToneStack& l, ToneStack& r, const double& bass, const double& mid,
                const double& treble, const double& contour, DoublePair& sample)
{
    double left = sample.left();
    double right = sample.right();
    l.process(bass, mid, treble, contour, left);
    r.process(bass, mid, treble, contour, right);
    sample = DoublePair(left, right);
}

inline void runWithGain(ShelvingBiquad& l, ShelvingBiquad& r, const double& gain,
                        const double& root, DoublePair& sample)
{
    double left = sample.left();
    double right = sample.right();
    l.processWithGain(gain, root, left);
    r.processWithGain(gain, root, right);
    sample = DoublePair(left, right);
}
