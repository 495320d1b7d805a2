// The Channel switch flipped while a note sustains, each mode at its own
// Volume: the level passes from one channel's to the other's without a dip
// or a jump, and shortly after the glide the output is what an instant
// switch gives. The modes are set up and recalled through the effect's
// parameters, as a host does; the model then plays a steady 196 Hz sine at
// 48 kHz in blocks of 512, once gliding and once with the switch settled at
// once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "tests/model/AmpModes.h"
#include "dsp/CircuitValues.h"
#include "tests/model/DirectEffect.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr float kRate = 48000.f;
constexpr int kBlock = 512;
constexpr int kSettleFrames = 72000;      // 1.5 s: every stage's bias settled
constexpr int kSettledWindow = 9600;      // the last 200 ms of a settled stretch
constexpr int kWindow = 240;              // 5 ms
constexpr int kTransition = 4800;         // the 100 ms after the switch
// 100 ms after the fade.
constexpr int kConverged = static_cast<int>((kChannelFadeSeconds + 0.1) * kRate);
constexpr int kGlidingFrames = 28800;     // 600 ms after the switch
const int kFadeFrames = static_cast<int>(kChannelFadeSeconds * kRate);

// A Volume of its own for each mode, in the order of kModes. Clean channel A
// takes half the input gain of the other modes for an Input: at twice their
// Input every mode plays at the same input gain, so that the switch changes
// nothing the channel it leaves plays on.
constexpr float kModeVolume[] = {0.2f, 0.3f, 0.6f, 0.45f};
constexpr float kModeInput[] = {1.f, 0.5f, 0.5f, 0.5f};

// The quietest 5 ms of the switch against the quieter channel's settled
// level, the loudest against the louder one's.
constexpr double kLeastDip = 0.84;
constexpr double kMostOvershoot = 1.25;
constexpr double kMostDifference = 1e-3;  // of the settled peak
// The fade against each channel's own output at its own Volume mixed by
// equal power: only the rounding of the mix.
constexpr double kMostFadeError = 1e-4;  // of the settled peak

std::vector<float> sine(double frequency, double amplitude, int frames)
{
    std::vector<float> x(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n)
        x[static_cast<size_t>(n)] = static_cast<float>(amplitude * std::sin(2.0 * M_PI * frequency * n / kRate));
    return x;
}

struct Levels {
    double quietest, loudest;  // of the 5 ms windows
};

Levels windowLevels(const std::vector<float>& y, size_t from, size_t to)
{
    Levels l{HUGE_VAL, 0.0};
    for (size_t start = from; start + kWindow <= to; ++start) {
        double p = 0.0;
        for (size_t i = start; i < start + kWindow; ++i)
            p = std::max(p, double(std::fabs(y[i])));
        l.quietest = std::min(l.quietest, p);
        l.loudest = std::max(l.loudest, p);
    }
    return l;
}

double largestDifference(const std::vector<float>& a, const std::vector<float>& b, size_t from, size_t to)
{
    double d = 0.0;
    for (size_t i = from; i < to; ++i)
        d = std::max(d, std::fabs(double(a[i]) - double(b[i])));
    return d;
}

// frames of the sine from frame start on, in host blocks; mono.
void play(AmpModel& model, const std::vector<float>& x, size_t start, size_t frames, std::vector<float>& y)
{
    y.resize(start + frames);
    for (size_t k = start; k < start + frames; k += kBlock) {
        const int32_t count = static_cast<int32_t>(std::min<size_t>(kBlock, start + frames - k));
        const float* in[] = {x.data() + k, x.data() + k};
        float scratch[kBlock];
        float* out[] = {y.data() + k, scratch};
        model.processBlock(in, out, count);
    }
}

struct Case {
    int modeA, modeB;  // indices into kModes
    bool toB;
    double amplitude;
};

struct Result {
    Levels before, after, transition;
    // Against the settled peak: the fade against the mix of the two
    // channels, and the output against an instant switch's.
    double fadeError, differenceFrom, difference160, difference500;
};

Result switchChannel(const Case& c)
{
    // Each mode remembers its Input and Volume; the switch recalls them.
    Ka813 effect(silentHost);
    effect.setSampleRate(kRate);
    for (int m = 0; m < 4; ++m) {
        effect.setParameter(kCleanCrunch, kModes[m].cleanCrunch);
        effect.setParameter(kLowHighGain, kModes[m].lowHighGain);
        effect.setParameter(kChannel, kModes[m].channel);
        effect.setParameter(kInput, kModeInput[m]);
        effect.setParameter(kVolume, kModeVolume[m]);
    }
    effect.setParameter(kCleanCrunch, kModes[c.modeA].cleanCrunch);
    effect.setParameter(kLowHighGain, kModes[c.modeB].lowHighGain);
    effect.setParameter(kChannel, c.toB ? 0.f : 1.f);
    auto gliding = std::make_unique<AmpModel>(effect.model());
    effect.setParameter(kChannel, c.toB ? 1.f : 0.f);
    const AmpSettings next = effect.model();
    EXPECT_EQ(gliding->volume, kModeVolume[c.toB ? c.modeA : c.modeB]);
    EXPECT_EQ(next.volume, kModeVolume[c.toB ? c.modeB : c.modeA]);

    // One model plays on without the switch, one switches at once.
    const std::vector<float> x = sine(196.0, c.amplitude, 2 * kSettleFrames);
    std::vector<float> glided;
    play(*gliding, x, 0, kSettleFrames, glided);
    std::vector<float> stayed = glided, instant = glided;
    auto staying = std::make_unique<AmpModel>(*gliding);
    auto settled = std::make_unique<AmpModel>(*gliding);
    gliding->change(next, kRate);
    settled->change(next, kRate);
    settled->channelGlide.settle(settled->channelB);
    play(*gliding, x, kSettleFrames, kGlidingFrames, glided);
    play(*staying, x, kSettleFrames, kFadeFrames, stayed);
    play(*settled, x, kSettleFrames, kSettleFrames, instant);

    const size_t at = kSettleFrames, end = 2 * kSettleFrames;
    Result r;
    r.before = windowLevels(glided, at - kSettledWindow, at);
    r.after = windowLevels(instant, end - kSettledWindow, end);
    r.transition = windowLevels(glided, at, at + kTransition);
    const double peak = r.after.loudest;
    r.fadeError = 0.0;
    for (int k = 0; k < kFadeFrames; ++k) {
        const double p = std::min(1.0, (k + 1.0) / kFadeFrames) * M_PI / 2;
        const size_t i = at + static_cast<size_t>(k);
        const double mix = std::cos(p) * stayed[i] + std::sin(p) * instant[i];
        r.fadeError = std::max(r.fadeError, std::fabs(glided[i] - mix) / peak);
    }
    r.differenceFrom = largestDifference(glided, instant, at + kConverged, at + kGlidingFrames) / peak;
    r.difference160 = largestDifference(glided, instant, at + 7680, at + 8160) / peak;
    r.difference500 = largestDifference(glided, instant, at + 24000, at + 24480) / peak;
    return r;
}

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (int a : {0, 1})
        for (int b : {2, 3})
            for (bool toB : {true, false})
                for (double amplitude : {0.3, 0.05})
                    cases.push_back({a, b, toB, amplitude});
    return cases;
}

std::string caseName(const Case& c)
{
    const std::string a = testNameOf(kModes[c.modeA].name), b = testNameOf(kModes[c.modeB].name);
    return (c.toB ? a + "To" + b : b + "To" + a) + (c.amplitude > 0.1 ? "_Loud" : "_Soft");
}

// ctest lists a case by its name rather than its bytes.
void PrintTo(const Case& c, std::ostream* out)
{
    *out << caseName(c) << " at " << c.amplitude;
}

class ChannelSwitch : public testing::TestWithParam<Case> {};

}  // namespace

TEST_P(ChannelSwitch, FadesBetweenTheLevelsAndBecomesAnInstantSwitch)
{
    const Case& c = GetParam();
    const Result r = switchChannel(c);
    const double quieter = std::min(r.before.quietest, r.after.quietest);
    const double louder = std::max(r.before.loudest, r.after.loudest);
    std::printf("%-24s quietest %.2fx (%+.1f dB), loudest %.2fx, fade error %.1e; against an instant switch "
                "%.1e from %d ms on, %.1e at 160 ms, %.1e at 500 ms\n",
                caseName(c).c_str(), r.transition.quietest / quieter,
                20 * std::log10(r.transition.quietest / quieter), r.transition.loudest / louder, r.fadeError,
                r.differenceFrom, kConverged / 48, r.difference160, r.difference500);
    EXPECT_GE(r.transition.quietest, kLeastDip * quieter);
    EXPECT_LE(r.transition.loudest, kMostOvershoot * louder);
    // Both channels play the whole input, the one left at its own Volume.
    EXPECT_LE(r.fadeError, kMostFadeError);
    EXPECT_LE(r.differenceFrom, kMostDifference);
}

INSTANTIATE_TEST_SUITE_P(EveryPairOfModes, ChannelSwitch, testing::ValuesIn(allCases()),
                         [](const auto& info) { return caseName(info.param); });
