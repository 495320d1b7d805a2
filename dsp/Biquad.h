#pragma once

// Second-order section, direct form I, coefficients stored unnormalised:
// invA0 scales the whole sum once per sample.
struct Biquad {
    double invA0, a1, a2, b0, b1, b2;
    double x1, x2, y1, y2;

    void process(double& sample)
    {
        const double x = sample;
        const double y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) * invA0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        sample = y;
    }
};

// A high shelf whose shelf gain can follow a control value sample by sample.
// Keeps K and K^2 of its design so a new gain costs a few multiplies, not a tangent.
struct ShelvingBiquad {
    double invA0, a1, a2, b0, b1, b2;
    double x1, x2, y1, y2;
    double k, k2;
    double gain;  // the gain the numerator currently holds

    void process(double& sample)
    {
        const double x = sample;
        const double y = (b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2) * invA0;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        sample = y;
    }

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

    void process(double& sample)
    {
        state = input * sample + feedback * state;
        sample = state;
    }
};

// First-order highpass: y = m (x - last input) + m * last output.
struct OnePoleHighpass {
    double coefficient;  // m = tau / (T + tau)
    double lastOutput;
    double lastInput;

    void process(double& sample)
    {
        const double x = sample;
        const double y = coefficient * (x - lastInput) + coefficient * lastOutput;
        lastInput = x;
        lastOutput = y;
        sample = y;
    }
};
