// Runs a signal through plug-in instances block by block, as a host's audio
// thread does, and measures the CPU time of the process calls alone.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/host/VstHost.h"
#include "tools/render/AudioBuffer.h"

namespace ka813::render {

// CPU time consumed by the calling thread, in seconds.
double threadCpuSeconds();

struct RunStats {
    int64_t frames = 0;
    int64_t blocks = 0;
    double cpuSeconds = 0.0;         // summed over the process calls
    double worstBlockSeconds = 0.0;  // CPU time of the slowest block (per frame)
    int32_t worstBlockFrames = 0;
    // CPU seconds per frame of each block, kept only when asked for.
    std::vector<double> perFrameSeconds;

    double audioSeconds(double sampleRate) const { return static_cast<double>(frames) / sampleRate; }
    // Audio seconds per CPU second.
    double realtimeFactor(double sampleRate) const;
    double worstBlockRealtimeFactor(double sampleRate) const;
};

// Instance k reads the input channels and writes the output channels that
// follow those of the instances before it, so two mono instances make a
// stereo pair. The input must hold at least the inputs of all instances;
// the output is resized to their outputs. progress, when given, hears the
// frames done after each block. keepBlockCosts fills perFrameSeconds.
RunStats runBlocks(const std::vector<vsthost::Plugin*>& instances, const AudioBuffer& input,
                   AudioBuffer& output, int32_t blockSize,
                   const std::function<void(int64_t)>& progress = nullptr, bool keepBlockCosts = false);

// The median of the values (0 for none); a robust cost where other work on
// the machine now and then slows a block down.
double median(std::vector<double> values);

}  // namespace ka813::render
