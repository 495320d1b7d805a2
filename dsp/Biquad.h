#pragma once

#include <cstddef>

#include "dsp/Lanes.h"

// Second-order section, direct form I, coefficients stored unnormalised:
// invA0 scales the whole sum once per sample.
struct Biquad {
    double invA0, a1, a2, b0, b1, b2;
    double x1, x2, y1, y2;

    void process(double& sample);
};

// A high shelf whose shelf gain can follow a control value sample by sample.
// Keeps K and K^2 of its design so a new gain costs a few multiplies, not a tangent.
// Runs through processWithGain or runGroupWithGain; the plain biquad runner
// would leave its numerator at the last gain.
struct ShelvingBiquad : Biquad {
    double k, k2;
    double gain;  // the gain the numerator currently holds

    // root must be sqrt(2 * gain); the caller keeps it ready. Only the
    // numerator moves, the history is kept, so the gain may glide.
    void processWithGain(const double& newGain, const double& root, double& sample)
    {
        if (gain != newGain) {  // also true when either side is NaN
            gain = newGain;
            b0 = k * root + 1.0 + newGain * k2;
            b1 = 2.0 * (newGain * k2 - 1.0);
            b2 = 1.0 - k * root + newGain * k2;
        }
        process(sample);
    }
};

// First-order lowpass: state = input * x + feedback * state.
struct OnePoleLowpass {
    double feedback;  // 1 - input
    double input;     // T / (T + tau)
    double state;

    void process(double& sample);
};

// First-order highpass: y = m (x - last input) + m * last output.
struct OnePoleHighpass {
    double coefficient;  // m = tau / (T + tau)
    double lastOutput;
    double lastInput;

    void process(double& sample);
};

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

// Each side re-derives its own numerator when the gain moves.
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
    runSidesApart(l, r, samples, [&](ShelvingBiquad& side, double(&group)[G]) {
        runGroupWithGain(side, side, group, gain, root);
    });
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

inline void Biquad::process(double& sample) { runAlone(*this, sample); }
inline void OnePoleLowpass::process(double& sample) { runAlone(*this, sample); }
inline void OnePoleHighpass::process(double& sample) { runAlone(*this, sample); }
