// Per-frame details of block processing that only the model's own values
// show: the gain glide and the anti-denormal signal's phase.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tests/model/DirectEffect.h"

using namespace ka813;
using namespace ka813::test;

namespace {

void processFrames(Ka813& effect, int frames, int block, float level = 0.f)
{
    std::vector<float> in(static_cast<size_t>(block), level), outL(in.size()), outR(in.size());
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {outL.data(), outR.data()};
    for (int done = 0; done < frames; done += block)
        effect.processReplacing(inputs, outputs, std::min(block, frames - done));
}

}  // namespace

TEST(Frame, GainsGlideByOneThousandthPerFrame)
{
    auto effect = makeEffect();
    // The gains rest at their targets (A clean at Input 0.5: 0.5001; Drive B
    // at 0.5: drive(0.5)); a change while audio runs glides from there.
    processFrames(*effect, 64, 64);
    effect->setParameter(kInput, 1.f);  // target 1.0001
    effect->setParameter(kDriveB, 0.f);
    const AmpModel& model = effect->model();
    int done = 0;
    for (int k : {1, 10, 100, 1000, 5000}) {
        processFrames(*effect, k - done, 64);
        done = k;
        EXPECT_NEAR(model.inputGain, 1.0001 - 0.5 * std::pow(0.999, k), 1e-12) << k;
        EXPECT_NEAR(model.driveB, 0.086128 + (0.295166875 - 0.086128) * std::pow(0.999, k), 1e-12) << k;
    }
    EXPECT_EQ(model.inputGainTarget, 1.0001);
}

// The signal is 1e-8 sin(n * 62831.9304 * T) with n the frames left in the
// block after this one: zero for the last frame of every block, so a block of
// one frame adds nothing.
TEST(Frame, AntiDenormalSignalRestartsWithEveryBlock)
{
    auto effect = makeEffect();
    std::vector<float> zero(2, 0.f), outL(2), outR(2);
    const float* silence[] = {zero.data(), zero.data()};
    float* outputs[] = {outL.data(), outR.data()};

    AmpModel oneFrame = effect->model();
    oneFrame.processBlock(silence, outputs, 1);
    EXPECT_EQ(oneFrame.left.stage1Up.x[0], 0.f);  // the input as the resampler saw it

    // A block of two silent frames is the signal's value at n = 1, then 0.
    AmpModel twoFrames = effect->model();
    twoFrames.processBlock(silence, outputs, 2);
    AmpModel byHand = effect->model();
    const float first = static_cast<float>(1e-8 * std::sin(1 * 62831.9304 * (1.0 / 176400.0)));
    const float* firstFrame[] = {&first, &first};
    byHand.processBlock(firstFrame, outputs, 1);
    byHand.processBlock(silence, outputs, 1);
    EXPECT_EQ(std::memcmp(&twoFrames.left, &byHand.left, sizeof byHand.left), 0);

    AmpModel twoSingles = effect->model();
    twoSingles.processBlock(silence, outputs, 1);
    twoSingles.processBlock(silence, outputs, 1);
    EXPECT_NE(std::memcmp(&twoFrames.left, &twoSingles.left, sizeof twoSingles.left), 0);
    EXPECT_NE(first, 0.f);
}
