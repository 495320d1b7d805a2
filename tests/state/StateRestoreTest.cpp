// Programs and banks restore exactly, whatever came before, and the host is
// told of every value the effect changes on its own. Through the built
// library, as a host stores and restores state.
#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "tests/model/HostedEffect.h"
#include "tests/state/StateChecks.h"

using namespace ka813;
using namespace ka813::test;

namespace {

struct HostedInstance : statecheck::Instance {
    std::unique_ptr<vsthost::Plugin> plugin = loadEffect();
    AEffect* effect() override { return plugin->effect(); }
    std::vector<std::pair<int32_t, float>> takeAutomates() override
    {
        std::vector<std::pair<int32_t, float>> automates;
        for (const auto& request : plugin->requests(audioMasterAutomate))
            automates.push_back({request.index, request.opt});
        plugin->clearLog();
        return automates;
    }
};

std::unique_ptr<statecheck::Instance> hosted() { return std::make_unique<HostedInstance>(); }

}  // namespace

// Random call sequences: 20 at least, and more while time allows (a slow
// machine or an emulator runs the 20 alone).
TEST(StateRestore, RandomHostCallSequencesKeepTheStateProperties)
{
    std::mt19937 random(8130);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(6);
    int sequences = 0;
    while (sequences < 20 || (sequences < 200 && std::chrono::steady_clock::now() < until)) {
        std::vector<uint8_t> bytes(600);
        for (uint8_t& byte : bytes)
            byte = static_cast<uint8_t>(random());
        const std::string fault = statecheck::checkSequence(bytes.data(), bytes.size(), hosted);
        ASSERT_EQ(fault, "") << "sequence " << sequences;
        ++sequences;
    }
    std::printf("%d sequences\n", sequences);
}

// CHB Drive set while A plays, then B switched to high gain: the program
// holds 0.9 for B and restores it whichever channel the instance plays.
TEST(StateRestore, AProgramRestoresTheSameOverAnyChannel)
{
    auto saved = loadEffect();
    saved->setParameter(kDriveB, 0.9f);
    saved->setParameter(kLowHighGain, 1.f);
    const std::vector<unsigned char> program = chunk(*saved, true);
    for (float channel : {0.f, 1.f}) {
        auto effect = loadEffect();
        effect->setParameter(kChannel, channel);
        ASSERT_EQ(loadChunk(*effect, program, true), 1);
        EXPECT_EQ(effect->getParameter(kDriveB), 0.9f) << channel;
        EXPECT_EQ(chunk(*effect, true), program);
    }
    // Programs 1, 2 (a channel B program), 1 again.
    auto effect = loadEffect();
    effect->dispatch(effSetProgram, 0, 1);
    effect->setParameter(kDriveB, 0.9f);
    effect->setParameter(kLowHighGain, 1.f);
    effect->dispatch(effSetProgram, 0, 2);
    effect->setParameter(kChannel, 1.f);
    effect->dispatch(effSetProgram, 0, 1);
    EXPECT_EQ(effect->getParameter(kDriveB), 0.9f);
}

// CHA Low set while B plays, then A switched to crunch: the bank round-trips
// to the byte, and the memories behave as in an instance never reloaded.
TEST(StateRestore, ABankRoundTripsAndKeepsItsMemories)
{
    auto reloaded = loadEffect(), untouched = loadEffect();
    for (vsthost::Plugin* effect : {reloaded.get(), untouched.get()}) {
        effect->setParameter(kChannel, 1.f);
        effect->setParameter(kLowA, 0.9f);
        effect->setParameter(kCleanCrunch, 1.f);
    }
    const std::vector<unsigned char> bank = chunk(*reloaded, false);
    ASSERT_EQ(loadChunk(*reloaded, bank, false), 1);
    EXPECT_EQ(chunk(*reloaded, false), bank);
    for (vsthost::Plugin* effect : {reloaded.get(), untouched.get()}) {
        effect->setParameter(kChannel, 0.f);
        effect->setParameter(kCleanCrunch, 0.f);
        effect->setParameter(kCleanCrunch, 1.f);
    }
    EXPECT_EQ(reloaded->getParameter(kLowA), untouched->getParameter(kLowA));
    EXPECT_EQ(chunk(*reloaded, false), chunk(*untouched, false));
}

// A mode switch's recall reaches the host as automates, after the switch's
// own when the panel moved it; a load ends with a display update.
TEST(StateRestore, TheHostHearsOfRecalledValues)
{
    auto effect = loadEffect();
    effect->setParameter(kInput, 0.8f);
    effect->setParameter(kChannel, 1.f);  // B low gain remembers Input 0.5
    effect->clearLog();
    effect->setParameter(kChannel, 0.f);  // back to A clean: Input 0.8 again
    const auto automates = effect->requests(audioMasterAutomate);
    ASSERT_EQ(automates.size(), 1u);
    EXPECT_EQ(automates[0].index, kInput);
    EXPECT_EQ(automates[0].opt, 0.8f);

    effect->clearLog();
    effect->dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(effect->requests(audioMasterUpdateDisplay).size(), 1u);
    EXPECT_TRUE(effect->requests(audioMasterAutomate).empty());
}

// The same values make the same sound, whatever order they were set in:
// each history against fresh instances given its bank and its program chunk.
TEST(StateRestore, TheSoundFollowsTheValuesNotTheirOrder)
{
    struct Step {
        int32_t index;
        float value;
    };
    const std::vector<std::vector<Step>> histories = {
        // Crunch chosen while B plays, then A: A crunch at its full drive.
        {{kChannel, 1.f}, {kCleanCrunch, 1.f}, {kChannel, 0.f}},
        {{kDriveA, 0.9f}, {kChannel, 1.f}, {kCleanCrunch, 1.f}, {kChannel, 0.f}},
        {{kCleanCrunch, 1.f}, {kDriveA, 0.8f}, {kChannel, 1.f}, {kCleanCrunch, 0.f},
         {kChannel, 0.f}},
        {{kInput, 0.9f}, {kChannel, 1.f}, {kLowHighGain, 1.f}, {kInput, 0.2f}, {kChannel, 0.f}},
    };
    for (size_t h = 0; h < histories.size(); ++h) {
        HostedInstance live;
        for (const Step& step : histories[h])
            live.plugin->setParameter(step.index, step.value);
        EXPECT_EQ(statecheck::soundsAsRestored(live, hosted), "") << "history " << h;
    }
}
