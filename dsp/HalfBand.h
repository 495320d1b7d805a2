#pragma once

namespace ka813 {

// All-pass coefficients of the polyphase IIR half-band filters, one set per 2x
// stage: 12 for host rate <-> 2x, 8 for 2x <-> 4x, 4 for 4x <-> 8x. Even indices
// form the first all-pass chain, odd indices the second.
inline constexpr double kHalfBand12[12] = {
    0.036681502163648017, 0.13654762463195771, 0.2746317593794541, 0.42313861743656667,
    0.5610989697879195,   0.6775400499741616,  0.769741833862266,  0.839889624849638,
    0.8922608180038789,   0.9315419599631839,  0.962094548378084,  0.9878163707328971};
inline constexpr double kHalfBand8[8] = {
    0.07711507983241622, 0.2659685265210946, 0.4820706250610472, 0.6651041532634957,
    0.7968204713315797,  0.8841015085506159, 0.9412514277740471, 0.9820054141886075};
inline constexpr double kHalfBand4[4] = {
    0.12073211751675449, 0.3903621872345006, 0.6632020224193995, 0.890786832653497};

// First-order all-pass (c + z^-1) / (1 + c z^-1) at the lower rate, in single
// precision: every section output is a float before it is stored or passed on.
inline float halfBandSection(float coefficient, float& lastInput, float& lastOutput, float s)
{
    const float t = (s - lastOutput) * coefficient + lastInput;
    lastInput = s;
    lastOutput = t;
    return t;
}

// The two all-pass chains of one 2x stage: section k (even) of the first,
// k + 1 of the second. Zero-initialised it is all zero.
template <int N>
struct HalfBandChains {
    static_assert(N % 2 == 0, "half-band sets have an even number of coefficients");

    float coef[N];
    float x[N];
    float y[N];

    // Converts to float; the history is left alone so a reload never clicks.
    void setCoefficients(const double (&set)[N])
    {
        for (int k = 0; k < N; ++k)
            coef[k] = static_cast<float>(set[k]);
    }

    // Runs the chains side by side, a through the first and b through the second.
    void runChains(float& a, float& b)
    {
        for (int k = 0; k < N; k += 2) {
            a = halfBandSection(coef[k], x[k], y[k], a);
            b = halfBandSection(coef[k + 1], x[k + 1], y[k + 1], b);
        }
    }
};

// One sample in, two out at twice the rate.
template <int N>
struct HalfBandUpsampler : HalfBandChains<N> {
    // out0 is the earlier output sample, out1 the later.
    void processSample(float input, float& out0, float& out1)
    {
        float a = input;
        float b = input;
        this->runChains(a, b);
        out0 = a;
        out1 = b;
    }
};

// Two samples in (in0 earlier, in1 later), one out at half the rate.
template <int N>
struct HalfBandDownsampler : HalfBandChains<N> {
    float processSample(float in0, float in1)
    {
        float a = in1;  // the later sample takes the chain of even coefficients
        float b = in0;
        this->runChains(a, b);
        return 0.5f * (a + b);
    }
};

}  // namespace ka813
