// The renderer's command line, and how a --set key finds its parameter.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/render/RenderOptions.h"

using namespace ka813;

namespace {

using render::parseRenderOptions;
using render::RenderOptions;

TEST(RenderOptions, DefaultsRenderTheRiffThroughOurPlugin)
{
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parseRenderOptions({}, options, &error)) << error;
    EXPECT_TRUE(options.pluginPath.empty());
    EXPECT_TRUE(options.inputPath.empty());
    EXPECT_EQ(options.outputPath, "render.wav");
    EXPECT_EQ(options.blockSize, 512);
    EXPECT_EQ(options.sampleRate, 0.0);
    EXPECT_EQ(options.program, -1);
    EXPECT_FALSE(options.modes);
}

TEST(RenderOptions, TakesEveryOptionInBothSpellings)
{
    RenderOptions options;
    std::string error;
    ASSERT_TRUE(parseRenderOptions({"-i", "in.flac", "--output=out.wav", "--program", "3", "--set",
                                    "CHA Drive=0.8", "--set=7=1", "--set", "Volume=-0.25", "--rate",
                                    "48000", "--block=64", "--seconds", "2.5", "--load-chunk", "a.bin", "--save-chunk=b.bin",
                                    "--program-chunk", "--modes", "--format", "pcm24", "peer.so"},
                                   options, &error))
        << error;
    EXPECT_EQ(options.inputPath, "in.flac");
    EXPECT_EQ(options.outputPath, "out.wav");
    EXPECT_EQ(options.program, 3);
    ASSERT_EQ(options.settings.size(), 3u);
    EXPECT_EQ(options.settings[0].key, "CHA Drive");
    EXPECT_FLOAT_EQ(options.settings[0].value, 0.8f);
    EXPECT_EQ(options.settings[1].key, "7");
    EXPECT_FLOAT_EQ(options.settings[1].value, 1.f);
    EXPECT_FLOAT_EQ(options.settings[2].value, -0.25f);
    EXPECT_EQ(options.sampleRate, 48000.0);
    EXPECT_EQ(options.blockSize, 64);
    EXPECT_EQ(options.seconds, 2.5);
    EXPECT_EQ(options.loadChunkPath, "a.bin");
    EXPECT_EQ(options.saveChunkPath, "b.bin");
    EXPECT_EQ(options.chunkKind, render::ChunkKind::Program);
    EXPECT_TRUE(options.modes);
    EXPECT_EQ(options.format, render::SampleFormat::Pcm24);
    EXPECT_EQ(options.pluginPath, "peer.so");
}

TEST(RenderOptions, RefusesWhatItCannotTake)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--set", "Drive"},         {"--set", "=0.5"},        {"--set", "Drive=loud"},
        {"--set", "Drive=nan"},     {"--block", "0"},         {"--block", "70000"},
        {"--block", "12x"},         {"--rate", "100"},        {"--program", "-1"},
        {"--format", "mp3"},        {"--output"},             {"--modes=yes"},
        {"--frobnicate"},           {"a.so", "b.so"},         {"-o", ""},
        {"--seconds", "0"},         {"--seconds", "nan"},     {"--seconds", "-1"},
    };
    for (const std::vector<std::string>& arguments : bad) {
        RenderOptions options;
        std::string error;
        EXPECT_FALSE(parseRenderOptions(arguments, options, &error)) << arguments[0];
        EXPECT_FALSE(error.empty()) << arguments[0];
    }
}

TEST(RenderOptions, FindsParametersByNameThenIndex)
{
    const std::vector<std::string> names = {"Input", "Channel", "Clean/Crunch", "Low/High Gain", "CHA Drive",
                                            "Mix", "MIX", "Volume", "2"};
    using render::resolveParameter;
    EXPECT_EQ(resolveParameter(names, "Input"), 0);
    EXPECT_EQ(resolveParameter(names, "Clean/Crunch"), 2);
    EXPECT_EQ(resolveParameter(names, "low/high gain"), 3);
    EXPECT_EQ(resolveParameter(names, "CHA Drive"), 4);
    EXPECT_EQ(resolveParameter(names, "VOLUME"), 7);
    // Exact names first; a case-blind match only when it is the only one.
    EXPECT_EQ(resolveParameter(names, "MIX"), 6);
    EXPECT_EQ(resolveParameter(names, "mix"), -1);
    // A name that is a number wins over the index it spells.
    EXPECT_EQ(resolveParameter(names, "2"), 8);
    EXPECT_EQ(resolveParameter(names, "7"), 7);
    EXPECT_EQ(resolveParameter(names, "0"), 0);
    EXPECT_EQ(resolveParameter(names, "9"), -1);
    EXPECT_EQ(resolveParameter(names, "-1"), -1);
    EXPECT_EQ(resolveParameter(names, "Drive"), -1);
    EXPECT_EQ(resolveParameter(names, ""), -1);
}

TEST(RenderOptions, NamesModeFilesAfterTheOutput)
{
    using render::pathWithSuffix;
    EXPECT_EQ(pathWithSuffix("out/riff.wav", "-a-clean"), "out/riff-a-clean.wav");
    EXPECT_EQ(pathWithSuffix("riff", "-b-high-gain"), "riff-b-high-gain.wav");
    EXPECT_EQ(pathWithSuffix("my.dir/riff", "-a-crunch"), "my.dir/riff-a-crunch.wav");
    EXPECT_EQ(pathWithSuffix(".hidden", "-x"), ".hidden-x.wav");
    EXPECT_EQ(pathWithSuffix("bank.fxb", "-a-clean", ""), "bank-a-clean.fxb");
    EXPECT_EQ(pathWithSuffix("bank", "-a-clean", ""), "bank-a-clean");
}

}  // namespace
