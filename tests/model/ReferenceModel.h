// The model's per-frame algorithm written the plain way, as a yardstick for
// the fast one: one side at a time, every pair of oversampled samples through
// the chain element by element with the building blocks' own process calls,
// the resamplers interleaved with the chain pair by pair.
#pragma once

#include <cmath>

#include "dsp/AmpModel.h"

namespace ka813::reference {

inline void channelB(const AmpModel& m, AmpSide& s, double& x)
{
    const double rate = m.oversampledRate;
    s.triode[0].process(x, rate);
    x = 0.75 * x;
    s.onePole750.process(x);
    s.shelfB1.process(x);
    x = x * m.driveB;
    s.lowpass3k[0].process(x);
    s.triode[1].process(x, rate);
    if (m.highGainB == 0) {
        s.lowGainShelfB.process(x);
        x = 0.325 * x;
        s.onePole3000.process(x);
    } else {
        s.highGainShelfB.process(x);
        x = 0.716 * x;
        s.onePole2700.process(x);
    }
    s.lowpass3k[1].process(x);
    s.lowpass5k[0].process(x);
    s.triode[2].process(x, rate);
    s.onePole3250.process(x);
    x = 0.8 * x;
    s.lowpass3k[2].process(x);
    s.lowpass5k[1].process(x);
    s.triode[3].process(x, rate);
    if (m.bottomB == 1)
        s.bottomShelfB.process(x);
    if (m.brightB == 1)
        s.brightPeakB.process(x);
    s.toneStackB[m.focusB].process(m.lowB, m.midB, m.highB, m.contourB, x);
    x = x * m.contourBShaped;
}

inline void channelA(const AmpModel& m, AmpSide& s, double& x)
{
    const double rate = m.oversampledRate;
    s.triode[4].process(x, rate);
    if (m.bottomA == 0) {
        s.bottomHighpassA.process(x);
    } else {
        s.bottomShelfA.process(x);
        x = 0.75 * x;
    }
    x = x * m.driveA;
    if (m.brightA == 0)
        x = x * m.driveAShaped;
    else
        s.brightShelfA.processWithGain(m.driveAShaped, m.driveAShapedRoot, x);
    s.triode[5].process(x, rate);
    double makeUp = 1.0;
    if (m.crunchA == 0) {
        x = 0.018 * x;
        s.cleanLowShelfA.process(x);
        makeUp = 3.0 * m.driveAShapedInv;
    } else {
        x = 0.527 * x;
        s.crunchShelfA.process(x);
    }
    s.lowpass5k[2].process(x);
    s.triode[6].process(x, rate);
    x = x * makeUp;
    s.toneStackA[m.focusA].process(m.lowA, m.midA, m.highA, m.contourA, x);
    x = x * m.contourAShaped * 1.58;
}

// Chain and output high-pass for one pair; the first sample goes all the
// way through before the second.
inline void chainAndOutput(const AmpModel& m, AmpSide& s, double a, double b, float& p, float& q)
{
    if (m.channelB == 1) {
        channelB(m, s, a);
        channelB(m, s, b);
    } else {
        channelA(m, s, a);
        channelA(m, s, b);
    }
    a = 0.01 * a;
    s.outputFilter.process(a);
    b = 0.01 * b;
    s.outputFilter.process(b);
    p = static_cast<float>(a);
    q = static_cast<float>(b);
}

inline float core(const AmpModel& m, AmpSide& s, float x)
{
    float u0, u1;
    s.stage1Up.processSample(x, u0, u1);
    const double d[2] = {u0 * m.inputGain, u1 * m.inputGain};
    if (m.oversamplingFactor < 4) {
        float p, q;
        chainAndOutput(m, s, d[0], d[1], p, q);
        return s.stage1Down.processSample(p, q);
    }
    float mid[2];
    for (int i = 0; i < 2; ++i) {
        float e[2];
        s.stage2Up.processSample(static_cast<float>(d[i]), e[0], e[1]);
        if (m.oversamplingFactor == 4) {
            float p, q;
            chainAndOutput(m, s, e[0], e[1], p, q);
            mid[i] = s.stage2Down.processSample(p, q);
        } else {
            float w[2];
            for (int j = 0; j < 2; ++j) {
                float t0, t1, p, q;
                s.stage3Up.processSample(e[j], t0, t1);
                chainAndOutput(m, s, t0, t1, p, q);
                w[j] = s.stage3Down.processSample(p, q);
            }
            mid[i] = s.stage2Down.processSample(w[0], w[1]);
        }
    }
    return s.stage1Down.processSample(mid[0], mid[1]);
}

inline void processBlock(AmpModel& m, const float* const* in, float* const* out, int frames)
{
    for (int n = frames - 1; n >= 0; --n) {
        const int k = frames - 1 - n;
        m.inputGain = 0.001 * m.inputGainTarget + 0.999 * m.inputGain;
        m.driveA = 0.001 * m.driveATarget + 0.999 * m.driveA;
        m.driveB = 0.001 * m.driveBTarget + 0.999 * m.driveB;
        const double s = 1e-8 * std::sin(n * 62831.9304 * m.oversampledPeriod);
        const float left = core(m, m.left, static_cast<float>(in[0][k] + s));
        out[0][k] = m.volume * left;
        if (m.stereo == 1) {
            const float right = core(m, m.right, static_cast<float>(in[1][k] + s));
            out[1][k] = m.volume * right;
        } else {
            out[1][k] = m.volume * left;
        }
    }
}

}  // namespace ka813::reference
