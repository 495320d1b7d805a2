#include "tools/render/AudioBuffer.h"

namespace ka813::render {

AudioBuffer fitChannels(const AudioBuffer& signal, int32_t channelCount)
{
    AudioBuffer fitted = AudioBuffer::silent(channelCount, signal.frames(), signal.sampleRate);
    const int32_t sources = signal.channelCount();
    if (sources == 0)
        return fitted;
    if (channelCount == 1 && sources > 1) {
        std::vector<float>& mix = fitted.channels[0];
        for (int64_t i = 0; i < signal.frames(); ++i) {
            double sum = 0.0;
            for (const std::vector<float>& channel : signal.channels)
                sum += channel[static_cast<size_t>(i)];
            mix[static_cast<size_t>(i)] = static_cast<float>(sum / sources);
        }
        return fitted;
    }
    for (int32_t c = 0; c < channelCount; ++c)
        fitted.channels[static_cast<size_t>(c)] = signal.channels[static_cast<size_t>(c % sources)];
    return fitted;
}

}  // namespace ka813::render
