// The LV2 plug-in sounds as the VST 2 library does, bit for bit: each mode,
// both qualities, 44.1 and 96 kHz, blocks of 512, of 688, 64, 13, 12 and 1
// repeated, in place; and a mode switch in play sounds as the VST 2 recall
// of the same values. Only the audio ports are compared.
#include <cstdio>

#include "tests/lv2/Renders.h"
#include "tools/render/GuitarRiff.h"

using namespace ka813;
using namespace ka813::lv2;
using namespace ka813::test;

namespace {

// The first part of the built-in riff on both inputs, the right a little
// quieter so that stereo differs from mono.
StereoSignal riff(double rate, double seconds)
{
    std::vector<float> x = render::guitarRiff(rate);
    x.resize(static_cast<size_t>(seconds * rate));
    StereoSignal s{x, x};
    for (float& v : s.right)
        v *= 0.7f;
    return s;
}

// Every control port a value of its own, so that a port read in the wrong
// place shows; the switches as given.
void distinctControls(ControlValues& controls, AmpMode mode, float stereo, float quality)
{
    defaultControls(controls);
    for (int32_t m = 0; m < kNumAmpModes; ++m)
        for (int32_t c = 0; c < kNumModeControls; ++c) {
            const int32_t parameter = modeParameter(AmpMode(m), c);
            const bool isSwitch = parameterInfo(parameter)->kind == ParameterKind::Switch;
            const uint32_t k = static_cast<uint32_t>(m) * 7 + c * 3;
            controls[controlSlot(modePort(AmpMode(m), c))] =
                isSwitch ? static_cast<float>((k + c) % 2) : 0.15f + 0.07f * static_cast<float>(k % 11);
        }
    controls[0] = mode >= kModeBLowGain ? 1.f : 0.f;
    controls[1] = mode == kModeACrunch ? 1.f : 0.f;
    controls[2] = mode == kModeBHighGain ? 1.f : 0.f;
    controls[3] = stereo;
    controls[4] = quality;
}

size_t differences(const StereoSignal& a, const StereoSignal& b)
{
    if (a.left.size() != b.left.size() || a.right.size() != b.right.size())
        return SIZE_MAX;
    size_t count = 0;
    for (size_t i = 0; i < a.left.size(); ++i)
        count += (std::memcmp(&a.left[i], &b.left[i], sizeof(float)) != 0)
                 + (std::memcmp(&a.right[i], &b.right[i], sizeof(float)) != 0);
    return count;
}

double peakOf(const StereoSignal& s)
{
    double p = 0.0;
    for (float v : s.left)
        p = std::max(p, static_cast<double>(std::fabs(v)));
    return p;
}

struct Pattern {
    const char* name;
    BlockPattern blocks;
    bool inPlace;
};

const Pattern kPatterns[] = {
    {"512", {512}, false},
    {"688 64 13 12 1", {688, 64, 13, 12, 1}, false},
    {"688 64 13 12 1 in place", {688, 64, 13, 12, 1}, true},
};

}  // namespace

TEST(SameSound, EveryModeQualityRateAndBlockPatternMatchesVst2BitForBit)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    for (double rate : {44100.0, 96000.0}) {
        const StereoSignal input = riff(rate, 0.5);
        for (int32_t m = 0; m < kNumAmpModes; ++m)
            for (float quality : {0.f, 1.f}) {
                ControlValues controls;
                distinctControls(controls, AmpMode(m), m % 2 ? 1.f : 0.f, quality);
                for (const Pattern& pattern : kPatterns) {
                    SCOPED_TRACE(std::string(kModeMap.modes[m].name) + (quality > 0.f ? ", HighQ, " : ", LowQ, ")
                                 + std::to_string(static_cast<int>(rate)) + " Hz, blocks " + pattern.name);
                    const StereoSignal lv2 = renderLv2(host, rate, controls, input, pattern.blocks, pattern.inPlace);
                    const StereoSignal vst2 = renderVst2(rate, controls, input, pattern.blocks, pattern.inPlace);
                    ASSERT_GT(peakOf(vst2), 1e-3) << "the reference is silent";
                    EXPECT_EQ(differences(lv2, vst2), 0u);
                }
            }
    }
}

// A mode switch between two blocks: the LV2 plug-in reads the newly selected
// mode's ports, the VST 2 effect recalls the same values from its memory.
TEST(SameSound, ModeSwitchesInPlayMatchTheVst2Recall)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    struct Switching {
        const char* name;
        AmpMode from;
        uint32_t global;  // the switch moved, by global index
        float value;
    };
    const Switching kSwitches[] = {
        {"A clean to B low gain by Channel", kModeAClean, 0, 1.f},
        {"B high gain to A crunch by Channel", kModeBHighGain, 0, 0.f},
        {"A clean to A crunch by Clean/Crunch", kModeAClean, 1, 1.f},
        {"B low to B high gain by Low/High Gain", kModeBLowGain, 2, 1.f},
        {"B high to B low gain by Low/High Gain", kModeBHighGain, 2, 0.f},
        {"LowQ to HighQ in B low gain", kModeBLowGain, 4, 1.f},
    };
    for (double rate : {44100.0, 96000.0}) {
        const StereoSignal input = riff(rate, 0.4);
        for (const Switching& s : kSwitches) {
            SCOPED_TRACE(std::string(s.name) + " at " + std::to_string(static_cast<int>(rate)) + " Hz");
            ControlValues controls;
            distinctControls(controls, s.from, 1.f, 0.f);
            // The switch moves in the middle, and moves back later.
            const size_t middle = input.left.size() / 2 - (input.left.size() / 2) % 778;
            const uint32_t port = kFirstGlobalPort + s.global;
            const std::vector<PortChange> changes = {{middle, port, s.value},
                                                     {middle + 778 * 8, port, controls[s.global]}};
            const BlockPattern pattern = {688, 64, 13, 12, 1};
            const StereoSignal lv2 = renderLv2(host, rate, controls, input, pattern, false, changes);
            const StereoSignal vst2 = renderVst2(rate, controls, input, pattern, false, changes);
            ASSERT_GT(peakOf(vst2), 1e-3);
            EXPECT_EQ(differences(lv2, vst2), 0u);
        }
    }
}
