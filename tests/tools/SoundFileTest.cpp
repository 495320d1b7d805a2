// Sound files written and read back, and how a signal is laid over a
// plug-in's inputs.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>

#include "tests/tools/TempDirectory.h"
#include "tools/render/AudioBuffer.h"
#include "tools/render/WavFile.h"

using namespace ka813;
using namespace ka813::test;

namespace {

render::AudioBuffer testSignal(int32_t channels, double rate)
{
    render::AudioBuffer buffer = render::AudioBuffer::silent(channels, 1000, rate);
    for (int32_t c = 0; c < channels; ++c)
        for (int n = 0; n < 1000; ++n)
            buffer.channels[c][n] = static_cast<float>(0.9 * std::sin(0.01 * n * (c + 1)));
    return buffer;
}

TEST(SoundFiles, FloatWavComesBackBitForBit)
{
    TempDirectory dir;
    ASSERT_TRUE(dir.ok());
    render::AudioBuffer written = testSignal(2, 48000.0);
    written.channels[1][10] = 1.75f;  // float files keep what lies beyond full scale
    std::string error;
    ASSERT_TRUE(render::writeWav(dir.file("a.wav"), written, render::SampleFormat::Float32, &error)) << error;
    render::AudioBuffer read;
    ASSERT_TRUE(render::readSoundFile(dir.file("a.wav"), read, &error)) << error;
    EXPECT_EQ(read.sampleRate, 48000.0);
    EXPECT_EQ(read.channels, written.channels);

    // The same signal written again gives the same bytes: renders compare
    // with cmp, across builds and machines.
    ASSERT_TRUE(render::writeWav(dir.file("b.wav"), written, render::SampleFormat::Float32, &error)) << error;
    auto bytes = [&](const char* name) {
        std::ifstream file(dir.file(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), {});
    };
    EXPECT_EQ(bytes("a.wav"), bytes("b.wav"));
}

TEST(SoundFiles, IntegerWavsKeepTheirResolutionAndClipInsteadOfWrapping)
{
    TempDirectory dir;
    ASSERT_TRUE(dir.ok());
    render::AudioBuffer written = testSignal(1, 44100.0);
    written.channels[0][5] = 1.5f;
    written.channels[0][6] = -3.0f;
    const struct {
        render::SampleFormat format;
        double step;
    } formats[] = {{render::SampleFormat::Pcm16, 1.0 / 32768}, {render::SampleFormat::Pcm24, 1.0 / 8388608}};
    for (const auto& f : formats) {
        std::string error;
        ASSERT_TRUE(render::writeWav(dir.file("b.wav"), written, f.format, &error)) << error;
        render::AudioBuffer read;
        ASSERT_TRUE(render::readSoundFile(dir.file("b.wav"), read, &error)) << error;
        ASSERT_EQ(read.channelCount(), 1);
        ASSERT_EQ(read.frames(), written.frames());
        EXPECT_NEAR(read.channels[0][5], 1.0, 2 * f.step);
        EXPECT_NEAR(read.channels[0][6], -1.0, 2 * f.step);
        for (int n = 10; n < 1000; ++n)
            ASSERT_NEAR(read.channels[0][n], written.channels[0][n], f.step) << n;
    }
}

TEST(SoundFiles, ExplainWhatCannotBeRead)
{
    TempDirectory dir;
    ASSERT_TRUE(dir.ok());
    std::ofstream(dir.file("junk.wav")) << "not a sound file";
    render::AudioBuffer read;
    std::string error;
    EXPECT_FALSE(render::readSoundFile(dir.file("missing.wav"), read, &error));
    EXPECT_NE(error.find("missing.wav"), std::string::npos) << error;
    EXPECT_FALSE(render::readSoundFile(dir.file("junk.wav"), read, &error));
    EXPECT_FALSE(render::writeWav(dir.file("no/such/dir/out.wav"), testSignal(1, 44100.0),
                                  render::SampleFormat::Float32, &error));
}

TEST(SoundFiles, MonoFeedsEveryInputAndManyChannelsMixIntoOne)
{
    render::AudioBuffer mono = testSignal(1, 44100.0);
    render::AudioBuffer two = render::fitChannels(mono, 2);
    ASSERT_EQ(two.channelCount(), 2);
    EXPECT_EQ(two.channels[0], mono.channels[0]);
    EXPECT_EQ(two.channels[1], mono.channels[0]);

    render::AudioBuffer stereo = testSignal(2, 44100.0);
    render::AudioBuffer one = render::fitChannels(stereo, 1);
    ASSERT_EQ(one.channelCount(), 1);
    for (int n = 0; n < 1000; ++n)
        ASSERT_FLOAT_EQ(one.channels[0][n], 0.5f * (stereo.channels[0][n] + stereo.channels[1][n]));

    EXPECT_EQ(render::fitChannels(stereo, 2).channels, stereo.channels);
}

}  // namespace
