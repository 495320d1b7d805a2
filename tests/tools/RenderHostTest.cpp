// The renderer as a host: what it hands the plug-in, in which blocks, and
// that a saved state comes back exactly.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "tests/shell/PeerPlugin.h"
#include "tests/shell/PluginPath.h"
#include "tests/tools/TempDirectory.h"
#include "tools/render/BlockRunner.h"
#include "tools/render/GuitarRiff.h"
#include "tools/render/RenderJob.h"

using namespace ka813;
using namespace ka813::test;

namespace {

render::AudioBuffer riffSeconds(double seconds, double rate = 44100.0)
{
    render::AudioBuffer buffer;
    buffer.sampleRate = rate;
    std::vector<float> riff = render::guitarRiff(rate);
    riff.resize(static_cast<size_t>(seconds * rate));
    buffer.channels.push_back(riff);
    return buffer;
}

float largestDifference(const render::AudioBuffer& a, const render::AudioBuffer& b)
{
    float largest = 0.f;
    for (size_t c = 0; c < a.channels.size(); ++c)
        for (size_t n = 0; n < a.channels[c].size(); ++n)
            largest = std::max(largest, std::fabs(a.channels[c][n] - b.channels[c][n]));
    return largest;
}

TEST(RenderHost, BlockSizeDoesNotChangeWhatComesOut)
{
    render::AudioBuffer input = riffSeconds(1.5);
    render::JobResult reference;
    std::string error;
    for (int32_t block : {4096, 511, 64, 7, 1}) {
        render::JobSpec job;
        job.pluginPath = pluginPath();
        job.input = &input;
        job.blockSize = block;
        job.settings = {{"Mono/Stereo", 1.f}, {"CHA Drive", 0.8f}};
        render::JobResult result;
        ASSERT_TRUE(render::runJob(job, result, &error)) << error;
        EXPECT_EQ(result.stats.frames, input.frames());
        EXPECT_EQ(result.stats.blocks, (input.frames() + block - 1) / block) << block;
        ASSERT_EQ(result.output.channelCount(), 2);
        ASSERT_EQ(result.output.frames(), input.frames());
        if (block == 4096) {
            reference = result;
            continue;
        }
        // Only the tiny anti-denormal signal may follow the block grid.
        EXPECT_LT(largestDifference(result.output, reference.output), 1e-4f) << block;
    }
}

TEST(RenderHost, ASavedChunkLoadedBackSoundsTheSame)
{
    TempDirectory dir;
    ASSERT_TRUE(dir.ok());
    render::AudioBuffer input = riffSeconds(1.0);
    for (render::ChunkKind kind : {render::ChunkKind::Bank, render::ChunkKind::Program}) {
        render::JobSpec saving;
        saving.pluginPath = pluginPath();
        saving.input = &input;
        saving.program = 4;
        saving.chunkKind = kind;
        saving.switches = {{"Channel", 1.f}, {"Low/High Gain", 1.f}};
        saving.settings = {{"CHB Drive", 0.9f}, {"CHB Low", 0.2f}, {"CHB Bright", 1.f}, {"Volume", 0.7f},
                           {"Mono/Stereo", 1.f}};
        saving.saveChunkPath = dir.file("state.bin");
        render::JobResult saved;
        std::string error;
        ASSERT_TRUE(render::runJob(saving, saved, &error)) << error;

        render::JobSpec loading;
        loading.pluginPath = pluginPath();
        loading.input = &input;
        loading.program = 4;
        loading.chunkKind = kind;
        loading.loadChunkPath = saving.saveChunkPath;
        render::JobResult loaded;
        ASSERT_TRUE(render::runJob(loading, loaded, &error)) << error;

        ASSERT_EQ(loaded.parameters.size(), saved.parameters.size());
        for (size_t i = 0; i < saved.parameters.size(); ++i)
            EXPECT_EQ(loaded.parameters[i].display, saved.parameters[i].display) << saved.parameters[i].name;
        EXPECT_EQ(loaded.output.channels, saved.output.channels);
    }
}

TEST(RenderHost, RefusesUnknownParametersAndPrograms)
{
    render::AudioBuffer input = riffSeconds(0.1);
    render::JobSpec job;
    job.pluginPath = pluginPath();
    job.input = &input;
    job.settings = {{"CHC Drive", 0.5f}};
    render::JobResult result;
    std::string error;
    EXPECT_FALSE(render::runJob(job, result, &error));
    EXPECT_NE(error.find("\"CHC Drive\""), std::string::npos) << error;

    job.settings.clear();
    job.program = 10;
    EXPECT_FALSE(render::runJob(job, result, &error));
    EXPECT_NE(error.find("programs 0 to 9"), std::string::npos) << error;

    job.program = -1;
    job.loadChunkPath = "/nonexistent/state.bin";
    EXPECT_FALSE(render::runJob(job, result, &error));
}

TEST(RenderHost, TwoMonoInstancesMakeAStereoPair)
{
    if (!peerIsInstalled())
        GTEST_SKIP() << kPeerPlugin << " is not installed for this processor";
    vsthost::LoadOptions options;
    options.recordRequests = false;
    std::string error;
    auto left = vsthost::Plugin::load(kPeerPlugin, &error, options);
    auto right = vsthost::Plugin::load(kPeerPlugin, &error, options);
    auto alone = vsthost::Plugin::load(kPeerPlugin, &error, options);
    ASSERT_TRUE(left && right && alone) << error;
    ASSERT_EQ(left->effect()->numInputs, 1);
    for (vsthost::Plugin* p : {left.get(), right.get(), alone.get()}) {
        p->setSampleRateAndBlockSize(44100.f, 256);
        p->resume();
    }

    render::AudioBuffer stereo = riffSeconds(1.0);
    std::vector<float> quieter = stereo.channels[0];
    std::reverse(quieter.begin(), quieter.end());
    stereo.channels.push_back(quieter);
    render::AudioBuffer pairOut, aloneOut;
    render::RunStats stats = render::runBlocks({left.get(), right.get()}, stereo, pairOut, 256);
    render::AudioBuffer rightOnly;
    rightOnly.sampleRate = stereo.sampleRate;
    rightOnly.channels.push_back(stereo.channels[1]);
    render::runBlocks({alone.get()}, rightOnly, aloneOut, 256);

    EXPECT_EQ(stats.frames, stereo.frames());
    EXPECT_GT(stats.cpuSeconds, 0.0);
    ASSERT_EQ(pairOut.channelCount(), 2);
    // The right instance heard the right channel only.
    EXPECT_EQ(pairOut.channels[1], aloneOut.channels[0]);
    EXPECT_NE(pairOut.channels[0], pairOut.channels[1]);
}

}  // namespace
