// The fast model (both sides in lanes, chunks of frames skewed through the
// chain, in place), on the two-lane path and on the AVX2 one where the
// processor has it, against the plain per-pair algorithm, bit for bit, in
// every mode, switch setting, oversampling factor, block length and channel
// layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "tests/model/AmpModes.h"
#include "tests/model/DirectEffect.h"
#include "tests/model/ReferenceModel.h"

using namespace ka813;
using namespace ka813::test;

namespace {

// Loud enough to drive the grids into conduction and the valves into
// cutoff, with a quiet stretch between: the branches of every stage run.
std::vector<float> testSignal(int frames, double frequency, double phase)
{
    std::vector<float> x(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n) {
        const double envelope = (n / 200) % 3 == 2 ? 0.01 : 0.9;
        x[static_cast<size_t>(n)] = static_cast<float>(
            envelope * (0.7 * std::sin(frequency * n + phase) + 0.3 * std::sin(0.37 * n)));
    }
    return x;
}

struct Setting {
    const char* name;
    std::vector<std::pair<int32_t, float>> parameters;
};

// Uneven blocks, so that chunk boundaries and block ends differ.
const std::vector<int> kRisingBlocks = {1, 4, 13, 40, 121, 364, 157};

// Every path; a test on one this processor cannot run skips.
const ka813::Path kPaths[] = {ka813::Path::kTwoLane, ka813::Path::kAvx2};
const char* const kNoAvx2 = "this processor has no AVX2: only the two-lane path is checked";

bool runsHere(ka813::Path path)
{
    return path == ka813::Path::kTwoLane || ka813::fastestPath() == ka813::Path::kAvx2;
}

std::string pathTestName(ka813::Path path)
{
    return path == ka813::Path::kAvx2 ? "Avx2" : "TwoLane";
}

std::string layoutTestName(float rate, bool highQuality, bool stereo)
{
    return std::to_string(int(rate)) + (highQuality ? "_HighQ_" : "_LowQ_") + (stereo ? "Stereo" : "Mono");
}

// The fast model runs in place on its own copy of the input. After the
// block numbered rebuildAfter, both models are set up anew at 48 kHz.
void expectSameOutput(ka813::Path path, Ka813& effect, const std::vector<int>& blocks = kRisingBlocks,
                      int rebuildAfter = -1)
{
    AmpModel fast = effect.model();
    fast.chainPath = path;
    AmpModel plain = effect.model();
    int frames = 0;
    for (int size : blocks)
        frames += size;
    std::vector<float> inL = testSignal(frames, 0.031, 0.0);
    std::vector<float> inR = testSignal(frames, 0.047, 1.0);
    std::vector<float> fastL = inL, fastR = inR, plainL(frames), plainR(frames);
    for (int start = 0, b = 0; start < frames; start += blocks[b++]) {
        const float* in[] = {inL.data() + start, inR.data() + start};
        float* fastOut[] = {fastL.data() + start, fastR.data() + start};
        float* plainOut[] = {plainL.data() + start, plainR.data() + start};
        fast.processBlock(fastOut, fastOut, blocks[b]);
        reference::processBlock(plain, in, plainOut, blocks[b]);
        if (b == rebuildAfter) {
            fast.setUp(48000.f);
            plain.setUp(48000.f);
        }
    }
    int differences = 0;
    for (int k = 0; k < frames; ++k) {
        if (std::memcmp(&fastL[k], &plainL[k], sizeof(float)) != 0
            || std::memcmp(&fastR[k], &plainR[k], sizeof(float)) != 0)
            ++differences;
    }
    EXPECT_EQ(differences, 0) << "first frames: " << fastL[1] << " " << plainL[1];
    // Some signal at all, and not the same on both sides in stereo.
    EXPECT_GT(std::fabs(fastL[frames - 1]) + std::fabs(fastL[frames / 2]), 0.f);
    EXPECT_EQ(std::memcmp(&fast.left.triode, &plain.left.triode, sizeof fast.left.triode), 0);
    EXPECT_EQ(std::memcmp(&fast.right.triode, &plain.right.triode, sizeof fast.right.triode), 0);
}

// Applies the quality at once, as a host's rate call does.
void configure(Ka813& effect, float rate, std::initializer_list<std::pair<int32_t, float>> parameters)
{
    effect.setSampleRate(rate);
    for (auto [index, value] : parameters)
        effect.setParameter(index, value);
    effect.setSampleRate(rate);
}

const Setting kModeSettings[] = {
    {"A clean", {{kChannel, 0.f}, {kCleanCrunch, 0.f}}},
    {"A crunch", {{kChannel, 0.f}, {kCleanCrunch, 1.f}}},
    {"B low gain", {{kChannel, 1.f}, {kLowHighGain, 0.f}}},
    {"B high gain", {{kChannel, 1.f}, {kLowHighGain, 1.f}}},
};
const Setting kSwitchSettings[] = {
    {"all off", {}},
    {"bottom, bright, focus",
     {{kFocusA, 1.f}, {kBottomA, 1.f}, {kBrightA, 1.f}, {kFocusB, 1.f}, {kBottomB, 1.f}, {kBrightB, 1.f}}},
    {"hot, knobs moved",
     {{kInput, 1.f}, {kDriveA, 0.9f}, {kDriveB, 1.f}, {kLowA, 0.1f}, {kMidA, 0.8f}, {kHighA, 0.3f},
      {kContourA, 0.f}, {kLowB, 0.9f}, {kMidB, 0.2f}, {kHighB, 0.7f}, {kContourB, 1.f}, {kBrightA, 1.f}}},
};

}  // namespace

namespace ka813 {
// Names the path in a failing test's parameters.
void PrintTo(Path path, std::ostream* os)
{
    *os << pathName(path);
}
}  // namespace ka813

namespace {
// Long, odd and one-frame blocks, at every factor and in both layouts; then
// a new rate, with every value that depends on it computed anew.
// Parameters: rate, high quality, stereo, channel B, path.
class LongAndOddBlocks : public testing::TestWithParam<std::tuple<float, bool, bool, bool, ka813::Path>> {};
}  // namespace

TEST_P(LongAndOddBlocks, MatchThePlainAlgorithm)
{
    const auto [rate, highQuality, stereo, channelB, path] = GetParam();
    if (!runsHere(path))
        GTEST_SKIP() << kNoAvx2;
    Ka813 effect(silentHost);
    configure(effect, rate,
              {{kChannel, channelB ? 1.f : 0.f}, {kCleanCrunch, 1.f}, {kLowHighGain, 1.f},
               {kStereo, stereo ? 1.f : 0.f}, {kQuality, highQuality ? 1.f : 0.f}});
    expectSameOutput(path, effect, {8191, 1, 63, 65, 129, 3}, 0);
}

namespace {
std::string longBlocksName(const testing::TestParamInfo<LongAndOddBlocks::ParamType>& info)
{
    const auto [rate, highQuality, stereo, channelB, path] = info.param;
    return layoutTestName(rate, highQuality, stereo) + (channelB ? "_B_" : "_A_") + pathTestName(path);
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(ModelExactness, LongAndOddBlocks,
                         testing::Combine(testing::Values(44100.f, 96000.f), testing::Bool(), testing::Bool(),
                                          testing::Bool(), testing::ValuesIn(kPaths)),
                         longBlocksName);

namespace {
// Every mode, switch setting, oversampling factor and layout.
// Parameters: mode, switch setting (indices into the tables above), rate,
// high quality, stereo, path.
class EveryConfiguration
    : public testing::TestWithParam<std::tuple<int, int, float, bool, bool, ka813::Path>> {};
}  // namespace

TEST_P(EveryConfiguration, MatchesThePlainAlgorithm)
{
    const auto [mode, setting, rate, highQuality, stereo, path] = GetParam();
    if (!runsHere(path))
        GTEST_SKIP() << kNoAvx2;
    Ka813 effect(silentHost);
    effect.setSampleRate(rate);
    for (auto [index, value] : kModeSettings[mode].parameters)
        effect.setParameter(index, value);
    for (auto [index, value] : kSwitchSettings[setting].parameters)
        effect.setParameter(index, value);
    effect.setParameter(kStereo, stereo ? 1.f : 0.f);
    effect.setParameter(kQuality, highQuality ? 1.f : 0.f);
    // Applies the quality at once, as a host's rate call does.
    effect.setSampleRate(rate);
    expectSameOutput(path, effect);
}

namespace {
std::string configurationName(const testing::TestParamInfo<EveryConfiguration::ParamType>& info)
{
    const auto [mode, setting, rate, highQuality, stereo, path] = info.param;
    return testNameOf(kModeSettings[mode].name) + "_" + testNameOf(kSwitchSettings[setting].name) + "_"
           + layoutTestName(rate, highQuality, stereo) + "_" + pathTestName(path);
}
}  // namespace

INSTANTIATE_TEST_SUITE_P(ModelExactness, EveryConfiguration,
                         testing::Combine(testing::Range(0, 4), testing::Range(0, 3),
                                          testing::Values(44100.f, 96000.f), testing::Bool(), testing::Bool(),
                                          testing::ValuesIn(kPaths)),
                         configurationName);

namespace {

// The model as the effect set it up, once on each path, over a test signal
// on both sides in blocks of 97 frames, in place; before each block
// changeAt(model, start) may change it. Every path must give the same bits.
template <class ChangeAt>
void expectTheSameOnEveryPath(const Ka813& effect, int frames, ChangeAt changeAt, const char* what)
{
    std::vector<std::vector<float>> outputs;
    for (Path path : kPaths) {
        AmpModel model = effect.model();
        model.chainPath = path;
        std::vector<float> left = testSignal(frames, 0.031, 0.0), right = testSignal(frames, 0.047, 1.0);
        for (int start = 0, size = 97; start < frames; start += size) {
            changeAt(model, start);
            const int count = std::min(size, frames - start);
            float* io[] = {left.data() + start, right.data() + start};
            model.processBlock(io, io, count);
        }
        left.insert(left.end(), right.begin(), right.end());
        outputs.push_back(left);
    }
    EXPECT_EQ(std::memcmp(outputs[0].data(), outputs[1].data(), outputs[0].size() * sizeof(float)), 0) << what;
}

}  // namespace

// The plain algorithm has no rebuild cross-fade; the paths share it, so a
// quality change mid-stream must sound the same on each.
TEST(ModelExactness, RebuildCrossFadeIsTheSameOnEveryPath)
{
    if (!runsHere(Path::kAvx2))
        GTEST_SKIP() << kNoAvx2;
    for (int stereo = 0; stereo < 2; ++stereo) {
        Ka813 effect(silentHost);
        configure(effect, 44100.f, {{kChannel, 1.f}, {kStereo, float(stereo)}, {kQuality, 0.f}});
        expectTheSameOnEveryPath(effect, 1200, [](AmpModel& model, int start) {
            if (start >= 300 && model.highQuality == 0) {
                AmpSettings next = model;
                next.highQuality = 1;
                model.change(next, 44100.f);
            }
        }, stereo ? "stereo" : "mono");
    }
}

// The plain algorithm switches channels at once; the paths share the
// channel cross-fade, so switches that turn back mid-fade, between modes at
// their own Volumes, must sound the same on each.
TEST(ModelExactness, ChannelCrossFadeIsTheSameOnEveryPath)
{
    if (!runsHere(Path::kAvx2))
        GTEST_SKIP() << kNoAvx2;
    for (int stereo = 0; stereo < 2; ++stereo) {
        Ka813 effect(silentHost);
        configure(effect, 44100.f,
                  {{kChannel, 1.f}, {kLowHighGain, 1.f}, {kVolume, 0.7f}, {kChannel, 0.f}, {kVolume, 0.2f},
                   {kStereo, float(stereo)}});
        AmpSettings toB = effect.model(), toA = effect.model();
        toB.channelB = 1;
        toB.highGainB = 1;
        toB.volume = 0.7f;
        // To B, back to A before the fade ends, and to B again.
        expectTheSameOnEveryPath(effect, 3000, [&](AmpModel& model, int start) {
            if (start == 485 || start == 1261)
                model.change(toB, 44100.f);
            if (start == 679)
                model.change(toA, 44100.f);
        }, stereo ? "stereo" : "mono");
    }
}
