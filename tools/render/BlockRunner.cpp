#include "tools/render/BlockRunner.h"

#include <time.h>

#include <algorithm>

namespace ka813::render {

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + 1e-9 * static_cast<double>(now.tv_nsec);
}

double RunStats::realtimeFactor(double sampleRate) const
{
    return cpuSeconds > 0.0 ? audioSeconds(sampleRate) / cpuSeconds : 0.0;
}

double RunStats::worstBlockRealtimeFactor(double sampleRate) const
{
    if (worstBlockSeconds <= 0.0)
        return 0.0;
    return static_cast<double>(worstBlockFrames) / sampleRate / worstBlockSeconds;
}

RunStats runBlocks(const std::vector<vsthost::Plugin*>& instances, const AudioBuffer& input,
                   AudioBuffer& output, int32_t blockSize, const std::function<void(int64_t)>& progress,
                   bool keepBlockCosts)
{
    RunStats stats;
    const int64_t frames = input.frames();
    int32_t outputChannels = 0;
    for (vsthost::Plugin* instance : instances)
        outputChannels += instance->effect()->numOutputs;
    output = AudioBuffer::silent(outputChannels, frames, input.sampleRate);
    if (blockSize <= 0)
        return stats;

    // A plug-in may name more channels than the signal has; those get a
    // silent scratch block. Pointers are laid out once, outside the timing.
    std::vector<float> spareIn(static_cast<size_t>(blockSize), 0.f);
    std::vector<float> spareOut(static_cast<size_t>(blockSize), 0.f);
    struct Lane {
        vsthost::Plugin* plugin;
        std::vector<int32_t> inputs, outputs;  // channel in the buffers, or -1
        std::vector<float*> inputPointers, outputPointers;
    };
    std::vector<Lane> lanes;
    int32_t nextInput = 0, nextOutput = 0;
    for (vsthost::Plugin* instance : instances) {
        Lane lane{instance, {}, {}, {}, {}};
        for (int32_t i = 0; i < instance->effect()->numInputs; ++i, ++nextInput)
            lane.inputs.push_back(nextInput < input.channelCount() ? nextInput : -1);
        for (int32_t o = 0; o < instance->effect()->numOutputs; ++o)
            lane.outputs.push_back(nextOutput++);
        lane.inputPointers.resize(std::max<size_t>(1, lane.inputs.size()), spareIn.data());
        lane.outputPointers.resize(std::max<size_t>(1, lane.outputs.size()), spareOut.data());
        lanes.push_back(std::move(lane));
    }

    if (keepBlockCosts)
        stats.perFrameSeconds.reserve(static_cast<size_t>(frames / blockSize + 1));
    for (int64_t start = 0; start < frames; start += blockSize) {
        const int32_t count = static_cast<int32_t>(std::min<int64_t>(blockSize, frames - start));
        for (Lane& lane : lanes) {
            for (size_t i = 0; i < lane.inputs.size(); ++i)
                lane.inputPointers[i] = lane.inputs[i] < 0
                    ? spareIn.data()
                    : const_cast<float*>(input.channels[static_cast<size_t>(lane.inputs[i])].data()) + start;
            for (size_t o = 0; o < lane.outputs.size(); ++o)
                lane.outputPointers[o] = output.channels[static_cast<size_t>(lane.outputs[o])].data() + start;
        }
        const double before = threadCpuSeconds();
        for (Lane& lane : lanes)
            lane.plugin->processBlock(lane.inputPointers.data(), lane.outputPointers.data(), count);
        const double spent = threadCpuSeconds() - before;

        stats.cpuSeconds += spent;
        // Slowest per frame, so that a short last block compares fairly.
        if (stats.worstBlockFrames == 0 ||
            spent * stats.worstBlockFrames > stats.worstBlockSeconds * count) {
            stats.worstBlockSeconds = spent;
            stats.worstBlockFrames = count;
        }
        if (keepBlockCosts)
            stats.perFrameSeconds.push_back(spent / count);
        stats.frames += count;
        ++stats.blocks;
        if (progress)
            progress(stats.frames);
    }
    return stats;
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    const size_t middle = values.size() / 2;
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(middle), values.end());
    return values[middle];
}

}  // namespace ka813::render
