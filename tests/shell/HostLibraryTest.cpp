// The host library on its own terms: it loads any Linux VST 2 effect, not
// only ours, records the requests and tolerates a second thread.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/shell/PeerPlugin.h"
#include "tests/shell/PluginPath.h"
#include "tools/host/VstHost.h"

using namespace ka813;
using namespace ka813::test;

namespace {

TEST(HostLibrary, LoadsAPeerThroughItsMainEntry)
{
    if (!peerIsInstalled())
        GTEST_SKIP() << kPeerPlugin << " is not installed for this processor";
    std::string error;
    auto peer = vsthost::Plugin::load(kPeerPlugin, &error);
    ASSERT_TRUE(peer) << error;
    EXPECT_EQ(peer->entryName(), "main");
    EXPECT_FALSE(peer->effectName().empty());
    EXPECT_GT(peer->effect()->numParams, 0);
    EXPECT_FALSE(peer->parameterName(0).empty());
    ASSERT_FALSE(peer->log().empty());
    EXPECT_EQ(peer->log()[0].opcode, audioMasterVersion);
}

TEST(HostLibrary, PrefersVSTPluginMain)
{
    std::string error;
    auto plugin = vsthost::Plugin::load(pluginPath(), &error);
    ASSERT_TRUE(plugin) << error;
    EXPECT_EQ(plugin->entryName(), "VSTPluginMain");
}

TEST(HostLibrary, ExplainsWhatCannotBeLoaded)
{
    std::string error;
    EXPECT_FALSE(vsthost::Plugin::load("/nonexistent/plugin.so", &error));
    EXPECT_NE(error.find("cannot load"), std::string::npos) << error;

    error.clear();
    EXPECT_FALSE(vsthost::Plugin::load("libm.so.6", &error));
    EXPECT_NE(error.find("neither VSTPluginMain nor main"), std::string::npos) << error;
}

TEST(HostLibrary, AnswersAndRecordsRequests)
{
    std::string error;
    auto plugin = vsthost::Plugin::load(pluginPath(), &error);
    ASSERT_TRUE(plugin) << error;
    AEffect* effect = plugin->effect();
    plugin->clearLog();

    char sizeWindow[] = "sizeWindow";
    EXPECT_EQ(plugin->handleCallback(effect, audioMasterCanDo, 0, 0, sizeWindow, 0.f), 0);
    plugin->setCanDoAnswer("sizeWindow", 1);
    plugin->setSizeWindowAnswer(1);
    EXPECT_EQ(plugin->handleCallback(effect, audioMasterCanDo, 0, 0, sizeWindow, 0.f), 1);
    EXPECT_EQ(plugin->handleCallback(effect, audioMasterSizeWindow, 640, 480, nullptr, 0.f), 1);
    EXPECT_EQ(plugin->handleCallback(effect, audioMasterVersion, 0, 0, nullptr, 0.f), 2400);
    EXPECT_EQ(plugin->handleCallback(effect, audioMasterAutomate, 3, 0, nullptr, 0.5f), 0);

    auto log = plugin->log();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[1].text, "sizeWindow");
    EXPECT_EQ(log[2].index, 640);
    EXPECT_EQ(log[2].value, 480);
    EXPECT_EQ(log[4].opt, 0.5f);
    EXPECT_EQ(plugin->requests(audioMasterCanDo).size(), 2u);
    plugin->clearLog();
    EXPECT_TRUE(plugin->log().empty());

    EXPECT_EQ(vsthost::fourCharacters(0x4C514353), "LQCS");
    EXPECT_EQ(vsthost::fourCharacters(0x41000142), "A..B");
}

// Audio on one thread, parameter changes on another, as a host does it.
void runConcurrently(vsthost::Plugin& plugin)
{
    AEffect* effect = plugin.effect();
    plugin.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.f);
    plugin.dispatch(effSetBlockSize, 0, 256);
    plugin.dispatch(effMainsChanged, 0, 1);

    std::atomic<bool> done{false};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        int channels = std::max(effect->numInputs, effect->numOutputs);
        std::vector<std::vector<float>> in(channels, std::vector<float>(256)),
            out(channels, std::vector<float>(256));
        std::vector<float*> inputs, outputs;
        for (int c = 0; c < channels; ++c) {
            inputs.push_back(in[c].data());
            outputs.push_back(out[c].data());
        }
        for (int block = 0; block < 400; ++block) {
            for (int c = 0; c < channels; ++c)
                for (int i = 0; i < 256; ++i)
                    in[c][i] = 0.5f * std::sin(0.05f * (block * 256 + i));
            plugin.processReplacing(inputs.data(), outputs.data(), 256);
            for (int c = 0; c < effect->numOutputs; ++c)
                for (float sample : out[c])
                    if (!std::isfinite(sample))
                        finite = false;
        }
        done = true;
    });
    int round = 0;
    while (!done) {
        for (int32_t i = 0; i < effect->numParams; ++i) {
            plugin.setParameter(i, (round % 10) / 10.f);
            (void)plugin.getParameter(i);
        }
        (void)plugin.log();
        ++round;
    }
    audio.join();
    EXPECT_TRUE(finite);
    plugin.dispatch(effMainsChanged, 0, 0);
}

TEST(HostLibrary, ProcessesWhileAnotherThreadSetsParameters)
{
    std::string error;
    auto plugin = vsthost::Plugin::load(pluginPath(), &error);
    ASSERT_TRUE(plugin) << error;
    runConcurrently(*plugin);
}

TEST(HostLibrary, DrivesAPeerFromTwoThreads)
{
    if (!peerIsInstalled())
        GTEST_SKIP() << kPeerPlugin << " is not installed for this processor";
    std::string error;
    auto peer = vsthost::Plugin::load(kPeerPlugin, &error);
    ASSERT_TRUE(peer) << error;
    runConcurrently(*peer);
}

}  // namespace
