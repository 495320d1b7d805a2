// The renderer's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/host/ParameterSettings.h"
#include "tools/render/WavFile.h"

namespace ka813::render {

// The panel tool reads --set the same way.
using vsthost::ParameterSetting;
using vsthost::resolveParameter;

enum class ChunkKind { Bank, Program };

struct RenderOptions {
    std::string pluginPath;      // empty: our own plug-in, where the build put it
    std::string inputPath;       // empty: the built-in riff
    std::string outputPath = "render.wav";
    std::string saveInputPath;   // where to write the signal the plug-in was given
    int32_t program = -1;        // -1: leave the plug-in's current program
    std::vector<ParameterSetting> settings;
    double sampleRate = 0.0;     // 0: the input file's rate, or 44100 for the riff
    int32_t blockSize = 512;
    double seconds = 0.0;        // 0: the whole input; else only its start
    std::string loadChunkPath;
    std::string saveChunkPath;
    ChunkKind chunkKind = ChunkKind::Bank;
    bool modes = false;          // render the four amplifier modes
    SampleFormat format = SampleFormat::Float32;
    bool help = false;
    bool version = false;
};

// Fills options from the arguments after the program name. False with a
// reason in *error for anything it cannot take.
bool parseRenderOptions(const std::vector<std::string>& arguments, RenderOptions& options,
                        std::string* error);

std::string renderUsage();

// out/riff.wav with "-a-clean" becomes out/riff-a-clean.wav; a name without
// an extension gets the suffix and then the given extension.
std::string pathWithSuffix(const std::string& path, const std::string& suffix,
                           const std::string& extension = ".wav");

}  // namespace ka813::render
