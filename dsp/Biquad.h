#pragma once

#include <cstddef>

#include "dsp/Lanes.h"

namespace ka813 {

// Second-order section, direct form I, coefficients stored unnormalised:
// invA0 scales the whole sum once per sample.
struct Biquad {
    double invA0, a1, a2, b0, b1, b2;
    double x1, x2, y1, y2;

    void process(double& sample);
};

// A high shelf whose shelf gain can follow a control value sample by sample.
// Keeps K and K^2 of its design so a new gain costs a few multiplies, not a tangent.
// Runs through processWithGain, or through the plain steppers after follow
// brought its numerator to the gain.
struct ShelvingBiquad : Biquad {
    double k, k2;
    double gain;  // the gain the numerator currently holds

    // root must be sqrt(2 * gain); the caller keeps it ready. Only the
    // numerator moves, the history is kept, so the gain may glide.
    void processWithGain(const double& newGain, const double& root, double& sample)
    {
        follow(newGain, root);
        process(sample);
    }
    // The numerator for newGain, recomputed only when the gain differs.
    void follow(const double& newGain, const double& root);
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

// The per-sample formulas in any lane type, state held in locals from
// construction to store. Coefficients are read per side: a gain-following
// shelf may hold a numerator of another formula on one side than on the other.
template <class Lane>
struct BiquadStepper {
    Lane invA0, a1, a2, b0, b1, b2;
    Lane x1, x2, y1, y2;

    [[gnu::always_inline]] BiquadStepper(const Biquad& l, const Biquad& r)
        : invA0(loadLanes<Lane>(l.invA0, r.invA0)),
          a1(loadLanes<Lane>(l.a1, r.a1)),
          a2(loadLanes<Lane>(l.a2, r.a2)),
          b0(loadLanes<Lane>(l.b0, r.b0)),
          b1(loadLanes<Lane>(l.b1, r.b1)),
          b2(loadLanes<Lane>(l.b2, r.b2)),
          x1(loadLanes<Lane>(l.x1, r.x1)),
          x2(loadLanes<Lane>(l.x2, r.x2)),
          y1(loadLanes<Lane>(l.y1, r.y1)),
          y2(loadLanes<Lane>(l.y2, r.y2))
    {
    }

    [[gnu::always_inline]] Lane step(const Lane x)
    {
        const Lane y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) * invA0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

    [[gnu::always_inline]] void store(Biquad& l, Biquad& r) const
    {
        storeLanes(x1, l.x1, r.x1);
        storeLanes(x2, l.x2, r.x2);
        storeLanes(y1, l.y1, r.y1);
        storeLanes(y2, l.y2, r.y2);
    }
};

template <class Lane>
struct OnePoleLowpassStepper {
    Lane input, feedback, state;

    [[gnu::always_inline]] OnePoleLowpassStepper(const OnePoleLowpass& l, const OnePoleLowpass& r)
        : input(splat<Lane>(l.input)),
          feedback(splat<Lane>(l.feedback)),
          state(loadLanes<Lane>(l.state, r.state))
    {
    }

    [[gnu::always_inline]] Lane step(const Lane x)
    {
        state = input * x + feedback * state;
        return state;
    }

    [[gnu::always_inline]] void store(OnePoleLowpass& l, OnePoleLowpass& r) const { storeLanes(state, l.state, r.state); }
};

template <class Lane>
struct OnePoleHighpassStepper {
    Lane m, lastInput, lastOutput;

    [[gnu::always_inline]] OnePoleHighpassStepper(const OnePoleHighpass& l, const OnePoleHighpass& r)
        : m(splat<Lane>(l.coefficient)),
          lastInput(loadLanes<Lane>(l.lastInput, r.lastInput)),
          lastOutput(loadLanes<Lane>(l.lastOutput, r.lastOutput))
    {
    }

    [[gnu::always_inline]] Lane step(const Lane x)
    {
        const Lane y = m * (x - lastInput) + m * lastOutput;
        lastInput = x;
        lastOutput = y;
        return y;
    }

    [[gnu::always_inline]] void store(OnePoleHighpass& l, OnePoleHighpass& r) const
    {
        storeLanes(lastInput, l.lastInput, r.lastInput);
        storeLanes(lastOutput, l.lastOutput, r.lastOutput);
    }
};

// A group of samples through a stepper: load, step each, store.
template <class Stepper, class Block, class Lane, size_t G>
inline void runSteps(Block& l, Block& r, Lane (&samples)[G])
{
    Stepper stepper(l, r);
    for (Lane& sample : samples)
        sample = stepper.step(sample);
    stepper.store(l, r);
}

template <class Lane, size_t G>
inline void runGroup(Biquad& l, Biquad& r, Lane (&samples)[G])
{
    runSteps<BiquadStepper<Lane>>(l, r, samples);
}

// The gain-following shelf's numerator for a gain: the check and update of
// processWithGain, made once before a run of samples at that gain. It is the
// designer's high-shelf numerator summed in another order (k root + 1 first,
// then the gain term), which rounds differently for about four gains in ten:
// one shared sum would move channel A's output with Bright on, or that of
// every fixed shelf, in its last bits, so the two stay apart.
inline void ShelvingBiquad::follow(const double& newGain, const double& root)
{
    if (gain != newGain) {  // also true when either side is NaN
        gain = newGain;
        b0 = k * root + 1.0 + newGain * k2;
        b1 = 2.0 * (newGain * k2 - 1.0);
        b2 = 1.0 - k * root + newGain * k2;
    }
}

template <class Lane, size_t G>
inline void runGroup(OnePoleLowpass& l, OnePoleLowpass& r, Lane (&samples)[G])
{
    runSteps<OnePoleLowpassStepper<Lane>>(l, r, samples);
}

template <class Lane, size_t G>
inline void runGroup(OnePoleHighpass& l, OnePoleHighpass& r, Lane (&samples)[G])
{
    runSteps<OnePoleHighpassStepper<Lane>>(l, r, samples);
}

inline void Biquad::process(double& sample) { runAlone(*this, sample); }
inline void OnePoleLowpass::process(double& sample) { runAlone(*this, sample); }
inline void OnePoleHighpass::process(double& sample) { runAlone(*this, sample); }

}  // namespace ka813
