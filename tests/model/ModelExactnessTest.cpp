// The fast model (both sides in lanes, chunks of frames skewed through the
// chain, in place), on the two-lane path and on the AVX2 one where the
// processor has it, against the plain per-pair algorithm, bit for bit, in
// every mode, switch setting, oversampling factor, block length and channel
// layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "tests/model/DirectEffect.h"
#include "tests/model/ReferenceModel.h"

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

// The paths this processor can run: the two-lane one always.
std::vector<ampchain::Path> runnablePaths()
{
    std::vector<ampchain::Path> paths = {ampchain::Path::kTwoLane};
    if (ampchain::fastestPath() == ampchain::Path::kAvx2)
        paths.push_back(ampchain::Path::kAvx2);
    return paths;
}

// The fast model runs in place on its own copy of the input. After the
// block numbered rebuildAfter, both models are set up anew at 48 kHz.
void expectSameOutputOn(ampchain::Path path, Ka813& effect, const std::string& trace,
                        const std::vector<int>& blocks, int rebuildAfter)
{
    SCOPED_TRACE(trace + ", " + ampchain::pathName(path) + " path");
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

void expectSameOutput(Ka813& effect, const std::string& trace,
                      const std::vector<int>& blocks = kRisingBlocks, int rebuildAfter = -1)
{
    for (ampchain::Path path : runnablePaths())
        expectSameOutputOn(path, effect, trace, blocks, rebuildAfter);
}

// Applies the quality at once, as a host's rate call does.
void configure(Ka813& effect, float rate, std::initializer_list<std::pair<int32_t, float>> parameters)
{
    effect.setSampleRate(rate);
    for (auto [index, value] : parameters)
        effect.setParameter(index, value);
    effect.setSampleRate(rate);
}

}  // namespace

// Long, odd and one-frame blocks, at every factor and in both layouts; then
// a new rate, with every value that depends on it computed anew.
TEST(ModelExactness, LongAndOddBlocksMatchThePlainAlgorithm)
{
    const std::vector<int> blocks = {8191, 1, 63, 65, 129, 3};
    for (float rate : {44100.f, 96000.f}) {
        for (int quality = 0; quality < 2; ++quality) {
            for (int stereo = 0; stereo < 2; ++stereo) {
                for (float channel : {0.f, 1.f}) {
                    Ka813 effect(silentHost);
                    configure(effect, rate,
                              {{kChannel, channel}, {kCleanCrunch, 1.f}, {kLowHighGain, 1.f},
                               {kStereo, float(stereo)}, {kQuality, float(quality)}});
                    expectSameOutput(effect,
                                     "rate " + std::to_string(int(rate)) + (quality ? " high" : " low")
                                         + (stereo ? " stereo" : " mono") + (channel ? " B" : " A"),
                                     blocks, 0);
                }
            }
        }
    }
}

TEST(ModelExactness, BothPathsRunHere)
{
    if (ampchain::fastestPath() != ampchain::Path::kAvx2)
        GTEST_SKIP() << "this processor has no AVX2: only the two-lane path is checked";
    EXPECT_EQ(runnablePaths().size(), 2u);
}

TEST(ModelExactness, EveryModeSwitchFactorAndLayoutMatchesThePlainAlgorithm)
{
    const Setting modes[] = {
        {"A clean", {{kChannel, 0.f}, {kCleanCrunch, 0.f}}},
        {"A crunch", {{kChannel, 0.f}, {kCleanCrunch, 1.f}}},
        {"B low gain", {{kChannel, 1.f}, {kLowHighGain, 0.f}}},
        {"B high gain", {{kChannel, 1.f}, {kLowHighGain, 1.f}}},
    };
    const Setting switches[] = {
        {"all off", {}},
        {"bottom, bright, focus",
         {{kFocusA, 1.f}, {kBottomA, 1.f}, {kBrightA, 1.f}, {kFocusB, 1.f}, {kBottomB, 1.f},
          {kBrightB, 1.f}}},
        {"hot, knobs moved",
         {{kInput, 1.f}, {kDriveA, 0.9f}, {kDriveB, 1.f}, {kLowA, 0.1f}, {kMidA, 0.8f},
          {kHighA, 0.3f}, {kContourA, 0.f}, {kLowB, 0.9f}, {kMidB, 0.2f}, {kHighB, 0.7f},
          {kContourB, 1.f}, {kBrightA, 1.f}}},
    };
    const float rates[] = {44100.f, 96000.f};
    for (const Setting& mode : modes) {
        for (const Setting& setting : switches) {
            for (float rate : rates) {
                for (int quality = 0; quality < 2; ++quality) {
                    for (int stereo = 0; stereo < 2; ++stereo) {
                        Ka813 effect(silentHost);
                        effect.setSampleRate(rate);
                        for (auto [index, value] : mode.parameters)
                            effect.setParameter(index, value);
                        for (auto [index, value] : setting.parameters)
                            effect.setParameter(index, value);
                        effect.setParameter(kStereo, static_cast<float>(stereo));
                        effect.setParameter(kQuality, static_cast<float>(quality));
                        // Applies the quality at once, as a host's rate call does.
                        effect.setSampleRate(rate);
                        expectSameOutput(effect, std::string(mode.name) + ", " + setting.name
                                                     + ", rate " + std::to_string(int(rate))
                                                     + (quality ? ", high" : ", low") + " quality"
                                                     + (stereo ? ", stereo" : ", mono"));
                    }
                }
            }
        }
    }
}

// The plain algorithm has no rebuild cross-fade; the paths share it, so a
// quality change mid-stream must sound the same on each.
TEST(ModelExactness, RebuildCrossFadeIsTheSameOnEveryPath)
{
    if (runnablePaths().size() < 2)
        GTEST_SKIP() << "one path only on this processor";
    for (int stereo = 0; stereo < 2; ++stereo) {
        Ka813 effect(silentHost);
        configure(effect, 44100.f, {{kChannel, 1.f}, {kStereo, float(stereo)}, {kQuality, 0.f}});
        std::vector<std::vector<float>> outputs;
        for (ampchain::Path path : runnablePaths()) {
            AmpModel model = effect.model();
            model.chainPath = path;
            const int frames = 1200;
            std::vector<float> left = testSignal(frames, 0.031, 0.0), right = testSignal(frames, 0.047, 1.0);
            for (int start = 0, size = 97; start < frames; start += size) {
                if (start >= 300 && model.highQuality == 0) {
                    AmpSettings next = model;
                    next.highQuality = 1;
                    model.change(next, 44100.f);
                }
                const int count = std::min(size, frames - start);
                float* io[] = {left.data() + start, right.data() + start};
                model.processBlock(io, io, count);
            }
            left.insert(left.end(), right.begin(), right.end());
            outputs.push_back(left);
        }
        EXPECT_EQ(std::memcmp(outputs[0].data(), outputs[1].data(), outputs[0].size() * sizeof(float)), 0)
            << (stereo ? "stereo" : "mono");
    }
}
