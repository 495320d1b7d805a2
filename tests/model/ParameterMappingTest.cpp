// Parameter values to model values: the curves, the switch rule, the drive
// halving, the quality flag, and the recalls of the mode memories as the
// front panel sees them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "dsp/ParameterCurves.h"
#include "tests/model/DirectEffect.h"

using namespace ka813;
using namespace ka813::test;

TEST(ParameterCurves, ValuesAtBothEndsAndTheMiddle)
{
    EXPECT_NEAR(driveCurve(0.0), 0.086128, 1e-12);
    EXPECT_NEAR(driveCurve(0.5), 0.295166875, 1e-12);
    EXPECT_NEAR(driveCurve(1.0), 0.996495, 1e-12);
    EXPECT_NEAR(shapedDrive(driveCurve(0.0)), 0.0540843, 1e-7);
    EXPECT_NEAR(shapedDrive(driveCurve(1.0)), 0.6214377, 1e-7);
    EXPECT_NEAR(contourCurve(0.0), 0.5225, 1e-12);
    EXPECT_NEAR(contourCurve(0.5), 1.010475, 1e-12);
    EXPECT_NEAR(contourCurve(1.0), 1.4446, 1e-12);
}

TEST(ParameterMapping, DriveIsHalvedInCleanOnlyAndShapedFromTheWholeDrive)
{
    auto effect = makeEffect();
    const AmpModel& model = effect->model();
    effect->setParameter(kDriveA, 1.f);
    EXPECT_NEAR(model.driveATarget, 0.4982475, 1e-12);
    const double shapedClean = model.driveAShaped;
    EXPECT_NEAR(shapedClean, 0.6214377, 1e-7);
    EXPECT_DOUBLE_EQ(model.driveAShapedInv, 1.0 / (shapedClean + 0.00001));
    EXPECT_DOUBLE_EQ(model.driveAShapedRoot, std::sqrt(2.0 * shapedClean));

    effect->setParameter(kCleanCrunch, 1.f);  // recalls crunch's drive, 0.5
    effect->setParameter(kDriveA, 1.f);
    EXPECT_NEAR(model.driveATarget, 0.996495, 1e-12);
    EXPECT_EQ(model.driveAShaped, shapedClean);

    effect->setParameter(kDriveB, 1.f);
    EXPECT_NEAR(model.driveBTarget, 0.996495, 1e-12);
    effect->setParameter(kContourB, 0.f);
    EXPECT_NEAR(model.contourBShaped, 0.5225, 1e-12);
    EXPECT_EQ(model.contourB, 0.0);
}

TEST(ParameterMapping, InputGainFollowsTheActiveMode)
{
    auto effect = makeEffect();
    const AmpModel& model = effect->model();
    effect->setParameter(kInput, 0.f);
    EXPECT_DOUBLE_EQ(model.inputGainTarget, 0.0001);
    effect->setParameter(kInput, 1.f);
    EXPECT_DOUBLE_EQ(model.inputGainTarget, 1.0001);
    effect->setParameter(kCleanCrunch, 1.f);
    effect->setParameter(kInput, 1.f);
    EXPECT_DOUBLE_EQ(model.inputGainTarget, 2.0001);
    effect->setParameter(kInput, 0.f);
    EXPECT_DOUBLE_EQ(model.inputGainTarget, 0.0001);
    // Switching to B recalls B's Input (0.5) under B's rule.
    effect->setParameter(kChannel, 1.f);
    EXPECT_DOUBLE_EQ(model.inputGainTarget, 2.0 * 0.5 + 0.0001);
}

TEST(ParameterMapping, SwitchesTurnOnFromOneHalf)
{
    auto effect = makeEffect();
    const AmpModel& model = effect->model();
    const struct {
        int32_t index;
        const int32_t AmpModel::*member;
    } switches[] = {{kFocusA, &AmpModel::focusA},   {kBottomA, &AmpModel::bottomA},
                    {kBrightA, &AmpModel::brightA}, {kFocusB, &AmpModel::focusB},
                    {kBottomB, &AmpModel::bottomB}, {kBrightB, &AmpModel::brightB},
                    {kStereo, &AmpModel::stereo},   {kQuality, &AmpModel::highQuality},
                    {kChannel, &AmpModel::channelB}};
    for (const auto& s : switches) {
        effect->setParameter(s.index, 0.4999f);
        EXPECT_EQ(model.*s.member, 0) << s.index;
        effect->setParameter(s.index, 0.5f);
        EXPECT_EQ(model.*s.member, 1) << s.index;
        effect->setParameter(s.index, 7.f);
        EXPECT_EQ(model.*s.member, 1) << s.index;
        effect->setParameter(s.index, std::nanf(""));
        EXPECT_EQ(model.*s.member, 0) << s.index;
    }
}

// While audio runs, the audio thread takes a quality change at its next
// block; a value the switch already has rebuilds nothing.
TEST(ParameterMapping, QualityTakesEffectAtTheNextBlockAndOnlyWhenItChanges)
{
    auto effect = makeEffect();
    const AmpModel& model = effect->model();
    std::vector<float> in(64, 0.f), outL(64), outR(64);
    float* inputs[] = {in.data(), in.data()};
    float* outputs[] = {outL.data(), outR.data()};
    effect->processReplacing(inputs, outputs, 64);
    effect->setParameter(kQuality, 0.f);  // the value it already has
    effect->processReplacing(inputs, outputs, 64);
    EXPECT_EQ(model.fadeFramesLeft, 0);
    effect->setParameter(kQuality, 1.f);
    EXPECT_EQ(model.oversamplingFactor, 4);
    effect->processReplacing(inputs, outputs, 0);  // no frame, nothing applied
    EXPECT_EQ(model.oversamplingFactor, 4);
    effect->processReplacing(inputs, outputs, 1);
    EXPECT_EQ(model.oversamplingFactor, 8);
    EXPECT_EQ(model.fadeFramesLeft, AmpModel::kRebuildFadeFrames - 1);
}

TEST(ParameterMapping, ValuesAreKeptUnclampedAndUnknownIndicesOnlyReachTheEditor)
{
    auto effect = makeEffect();
    std::vector<std::pair<int, float>> calls;
    effect->setEditor(new RecordingEditor(effect.get(), calls));
    effect->setParameter(kLowA, 1.7f);
    EXPECT_EQ(effect->getParameter(kLowA), 1.7f);
    EXPECT_EQ(effect->model().lowA, double(1.7f));
    const AmpModel before = effect->model();
    effect->setParameter(23, 0.3f);
    effect->setParameter(-1, 0.3f);
    const AmpModel& after = effect->model();
    EXPECT_EQ(std::memcmp(&before.left, &after.left, sizeof before.left), 0);
    EXPECT_EQ(before.inputGainTarget, after.inputGainTarget);
    EXPECT_EQ(before.driveATarget, after.driveATarget);
    EXPECT_EQ(before.driveBTarget, after.driveBTarget);
    EXPECT_EQ(before.lowA, after.lowA);
    EXPECT_EQ(before.contourBShaped, after.contourBShaped);
    EXPECT_EQ(before.volume, after.volume);
    EXPECT_EQ(before.channelB, after.channelB);
    EXPECT_EQ(before.highQuality, after.highQuality);
    for (int32_t i = 0; i < 23; ++i)
        EXPECT_EQ(effect->getParameter(i), i == kLowA ? 1.7f : defaultValue(i)) << i;
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1], std::make_pair(23, 0.3f));
    EXPECT_EQ(calls[2], std::make_pair(-1, 0.3f));
}

namespace {

std::vector<int> indicesOf(const std::vector<std::pair<int, float>>& calls)
{
    std::vector<int> indices;
    for (const auto& call : calls)
        indices.push_back(call.first);
    return indices;
}

}  // namespace

TEST(ModeRecall, EachSwitchRecallsItsValuesInOrderBeforeTheEditorHearsIt)
{
    auto effect = makeEffect();
    std::vector<std::pair<int, float>> calls;
    effect->setEditor(new RecordingEditor(effect.get(), calls));

    effect->setParameter(kChannel, 1.f);
    EXPECT_EQ(indicesOf(calls), (std::vector<int>{kInput, kVolume, kChannel}));

    calls.clear();
    effect->setParameter(kLowHighGain, 1.f);
    EXPECT_EQ(indicesOf(calls), (std::vector<int>{kInput, kDriveB, kLowB, kMidB, kHighB, kContourB,
                                                  kVolume, kFocusB, kBrightB, kBottomB,
                                                  kLowHighGain}));
    calls.clear();
    effect->setParameter(kCleanCrunch, 1.f);  // channel B plays: no recall
    EXPECT_EQ(indicesOf(calls), (std::vector<int>{kCleanCrunch}));

    calls.clear();
    effect->setParameter(kChannel, 0.f);
    effect->setParameter(kCleanCrunch, 0.f);
    EXPECT_EQ(indicesOf(calls), (std::vector<int>{kInput, kVolume, kChannel, kInput, kDriveA, kLowA,
                                                  kMidA, kHighA, kContourA, kVolume, kFocusA,
                                                  kBrightA, kBottomA, kCleanCrunch}));
    calls.clear();
    effect->setParameter(kLowHighGain, 0.f);  // channel A plays: no recall
    EXPECT_EQ(indicesOf(calls), (std::vector<int>{kLowHighGain}));
}

TEST(ModeRecall, EveryModeKeepsItsOwnSettings)
{
    auto effect = makeEffect();
    // A clean, then A crunch, B low gain, B high gain, each with its own values.
    const float values[4] = {0.3f, 0.8f, 0.1f, 0.65f};
    auto select = [&](int mode) {
        effect->setParameter(kChannel, mode >= 2 ? 1.f : 0.f);
        if (mode < 2)
            effect->setParameter(kCleanCrunch, mode == 1 ? 1.f : 0.f);
        else
            effect->setParameter(kLowHighGain, mode == 3 ? 1.f : 0.f);
    };
    for (int mode = 0; mode < 4; ++mode) {
        select(mode);
        const int32_t drive = mode < 2 ? kDriveA : kDriveB;
        const int32_t bright = mode < 2 ? kBrightA : kBrightB;
        effect->setParameter(kInput, values[mode]);
        effect->setParameter(kVolume, 1.f - values[mode]);
        effect->setParameter(drive, values[mode] / 2);
        effect->setParameter(bright, mode % 2 ? 1.f : 0.f);
    }
    for (int mode : {2, 0, 3, 1, 0}) {
        select(mode);
        const int32_t drive = mode < 2 ? kDriveA : kDriveB;
        const int32_t bright = mode < 2 ? kBrightA : kBrightB;
        EXPECT_EQ(effect->getParameter(kInput), values[mode]) << mode;
        EXPECT_EQ(effect->getParameter(kVolume), 1.f - values[mode]) << mode;
        EXPECT_EQ(effect->getParameter(drive), values[mode] / 2) << mode;
        EXPECT_EQ(effect->getParameter(bright), mode % 2 ? 1.f : 0.f) << mode;
        EXPECT_EQ(effect->model().volume, 1.f - values[mode]) << mode;
    }
}

TEST(ModeRecall, ChannelSwitchBringsBackOnlyInputAndVolume)
{
    auto effect = makeEffect();
    effect->setParameter(kChannel, 1.f);
    effect->setParameter(kCleanCrunch, 1.f);  // no recall while B plays
    effect->setParameter(kDriveA, 0.9f);      // into crunch's memory
    effect->setParameter(kChannel, 0.f);
    // Channel A's values are those set last, not crunch's stored ones.
    EXPECT_EQ(effect->getParameter(kDriveA), 0.9f);
    EXPECT_EQ(effect->model().crunchA, 1);
    effect->setParameter(kCleanCrunch, 0.f);
    EXPECT_EQ(effect->getParameter(kDriveA), 0.5f);
    effect->setParameter(kCleanCrunch, 1.f);
    EXPECT_EQ(effect->getParameter(kDriveA), 0.9f);
}
