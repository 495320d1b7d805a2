// Planar audio held by the tools: one vector of samples per channel.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ka813::render {

struct AudioBuffer {
    double sampleRate = 44100.0;
    std::vector<std::vector<float>> channels;

    int64_t frames() const { return channels.empty() ? 0 : static_cast<int64_t>(channels[0].size()); }
    int32_t channelCount() const { return static_cast<int32_t>(channels.size()); }
    double seconds() const { return sampleRate > 0 ? static_cast<double>(frames()) / sampleRate : 0.0; }

    static AudioBuffer silent(int32_t channelCount, int64_t frames, double sampleRate)
    {
        AudioBuffer buffer;
        buffer.sampleRate = sampleRate;
        buffer.channels.assign(static_cast<size_t>(channelCount),
                               std::vector<float>(static_cast<size_t>(frames), 0.f));
        return buffer;
    }
};

// The signal laid out over the number of channels a plug-in takes: a mono
// signal feeds every input, a wider one feeds inputs in turn, and several
// channels into one input are averaged.
AudioBuffer fitChannels(const AudioBuffer& signal, int32_t channelCount);

}  // namespace ka813::render
