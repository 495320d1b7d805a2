// A switch flipped or a tone knob jumped while a note sustains: the output
// moves to its new level without a thump. Through the built library, as a
// host plays it: a steady 0.3 sine at 196 Hz, 48 kHz, blocks of 512.
#include <cstdio>
#include <iterator>
#include <string>
#include <tuple>

#include "tests/model/AmpModes.h"
#include "tests/model/HostedEffect.h"

using namespace ka813::test;

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
// Long enough for every stage's bias to settle after a change.
constexpr int kSettleFrames = 72000;            // 1.5 s
constexpr int kMeasureFrames = 9600;            // the last 200 ms of a stretch
constexpr size_t kAfterChangeFrames = 4800;     // 100 ms
// A transition may overshoot the louder of the two settled levels a little
// (the circuit itself compresses and recovers), not thump.
constexpr double kMostOvershoot = 1.25;

struct Change {
    const char* name;
    int32_t index;
    float from, to;  // a negative from: the mode's own value, flipped
};
constexpr Change kChanges[] = {
    {"Channel", kChannel, -1.f, 0.f},         {"Clean/Crunch", kCleanCrunch, -1.f, 0.f},
    {"Low/High Gain", kLowHighGain, -1.f, 0.f}, {"Stereo to mono", kStereo, 1.f, 0.f},
    {"Mono to stereo", kStereo, 0.f, 1.f},
    {"CHA Open/Focus", kFocusA, 0.f, 1.f},    {"CHA Bottom", kBottomA, 0.f, 1.f},
    {"CHA Bright", kBrightA, 0.f, 1.f},       {"CHB Open/Focus", kFocusB, 0.f, 1.f},
    {"CHB Bottom", kBottomB, 0.f, 1.f},       {"CHB Bright", kBrightB, 0.f, 1.f},
    {"CHA Low", kLowA, 0.2f, 0.8f},           {"CHA Mid", kMidA, 0.2f, 0.8f},
    {"CHA High", kHighA, 0.2f, 0.8f},         {"CHA Contour", kContourA, 0.2f, 0.8f},
    {"CHB Low", kLowB, 0.2f, 0.8f},           {"CHB Mid", kMidB, 0.2f, 0.8f},
    {"CHB High", kHighB, 0.2f, 0.8f},         {"CHB Contour", kContourB, 0.2f, 0.8f},
};

float modeValue(const Mode& mode, int32_t index)
{
    return index == kChannel ? mode.channel : index == kCleanCrunch ? mode.cleanCrunch : mode.lowHighGain;
}

double peakOfBoth(const Stereo& y, size_t from, size_t to)
{
    double p = 0.0;
    for (size_t i = from; i < to; ++i)
        p = std::max({p, double(std::fabs(y.left[i])), double(std::fabs(y.right[i]))});
    return p;
}

struct Peaks {
    double before, after, transition;
};

// Settled peaks before and after the change, and the peak in the 100 ms
// after it.
Peaks peaksAround(const Mode& mode, const Change& change)
{
    auto effect = loadEffect();
    effect->setSampleRateAndBlockSize(static_cast<float>(kRate), kBlock);
    effect->setParameter(kCleanCrunch, mode.cleanCrunch);
    effect->setParameter(kLowHighGain, mode.lowHighGain);
    effect->setParameter(kChannel, mode.channel);
    const bool modeSwitch = change.from < 0.f;
    const float from = modeSwitch ? modeValue(mode, change.index) : change.from;
    const float to = modeSwitch ? 1.f - from : change.to;
    if (change.index != kStereo)
        effect->setParameter(kStereo, 1.f);
    effect->setParameter(change.index, from);

    // The sine runs on across the change: one signal, rendered in two parts.
    const std::vector<float> x = sine(196.0, 0.3, 2 * kSettleFrames, kRate);
    const size_t half = static_cast<size_t>(kSettleFrames);
    const Stereo first = render(*effect, both({x.begin(), x.begin() + half}), kBlock);
    effect->setParameter(change.index, to);
    const Stereo second = render(*effect, both({x.begin() + half, x.end()}), kBlock);

    const size_t tail = static_cast<size_t>(kSettleFrames - kMeasureFrames);
    return {peakOfBoth(first, tail, half), peakOfBoth(second, tail, half),
            peakOfBoth(second, 0, kAfterChangeFrames)};
}

// Parameters: the mode and the change, by their places in the tables.
class SwitchTransition : public testing::TestWithParam<std::tuple<int, int>> {};

}  // namespace

TEST_P(SwitchTransition, NoChangeOvershootsTheSettledLevels)
{
    const Mode& mode = kModes[std::get<0>(GetParam())];
    const Change& change = kChanges[std::get<1>(GetParam())];
    const Peaks p = peaksAround(mode, change);
    const double settled = std::max(p.before, p.after);
    std::printf("%-11s %-15s settled %.3f -> %.3f, after the change %.3f (%.2fx)\n", mode.name, change.name,
                p.before, p.after, p.transition, p.transition / settled);
    EXPECT_LE(p.transition, kMostOvershoot * settled) << "settled " << p.before << " -> " << p.after;
}

INSTANTIATE_TEST_SUITE_P(EveryModeAndChange, SwitchTransition,
                         testing::Combine(testing::Range(0, int(std::size(kModes))),
                                          testing::Range(0, int(std::size(kChanges)))),
                         [](const auto& info) {
                             return testNameOf(kModes[std::get<0>(info.param)].name) + "_"
                                    + testNameOf(kChanges[std::get<1>(info.param)].name);
                         });
