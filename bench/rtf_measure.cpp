#include "bench/rtf_measure.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "tools/host/VstHost.h"
#include "tools/render/BlockRunner.h"
#include "tools/render/GuitarRiff.h"

namespace ka813::rtf {

namespace {

constexpr double kWarmUpSeconds = 0.25;
constexpr double kBurstSeconds = 2.0;
// The right side plays the riff from a later point, so that a stereo run
// has two different signals.
constexpr double kRightOffsetSeconds = 3.7;

bool fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
    return false;
}

const std::vector<float>& riffAt(double sampleRate)
{
    static std::map<double, std::vector<float>> riffs;
    auto found = riffs.find(sampleRate);
    if (found == riffs.end())
        found = riffs.emplace(sampleRate, render::guitarRiff(sampleRate)).first;
    return found->second;
}

// frames of the riff looped from offset.
std::vector<float> loopedRiff(double sampleRate, int64_t frames, double offsetSeconds)
{
    const std::vector<float>& riff = riffAt(sampleRate);
    std::vector<float> signal(static_cast<size_t>(frames));
    size_t position = static_cast<size_t>(offsetSeconds * sampleRate) % riff.size();
    for (float& sample : signal) {
        sample = riff[position];
        position = (position + 1) % riff.size();
    }
    return signal;
}

// The channels the instances read: left and right differ in stereo.
render::AudioBuffer signalFor(int32_t channels, bool stereo, double sampleRate, int64_t frames,
                              double offsetSeconds)
{
    render::AudioBuffer buffer;
    buffer.sampleRate = sampleRate;
    std::vector<float> left = loopedRiff(sampleRate, frames, offsetSeconds);
    std::vector<float> right = stereo ? loopedRiff(sampleRate, frames, offsetSeconds + kRightOffsetSeconds) : left;
    for (int32_t c = 0; c < channels; ++c)
        buffer.channels.push_back(c % 2 == 0 ? left : right);
    return buffer;
}

int64_t framesOf(double seconds, double sampleRate)
{
    return std::max<int64_t>(1, static_cast<int64_t>(std::llround(seconds * sampleRate)));
}

}  // namespace

const char* ampLabel(Amp amp)
{
    return amp == Amp::AClean ? "A clean" : "B high gain";
}

bool probe(const std::string& path, PluginInfo& info, std::string* error)
{
    vsthost::LoadOptions options;
    options.recordRequests = false;
    std::string loadError;
    auto plugin = vsthost::Plugin::load(path, &loadError, options);
    if (!plugin)
        return fail(error, loadError);
    info.path = path;
    info.name = plugin->effectName();
    if (info.name.empty())
        info.name = path.substr(path.find_last_of('/') + 1);
    info.numInputs = plugin->effect()->numInputs;
    info.numOutputs = plugin->effect()->numOutputs;
    info.features.quality = plugin->parameterIndex("LowQ/HighQ");
    info.features.stereo = plugin->parameterIndex("Mono/Stereo");
    info.features.channel = plugin->parameterIndex("Channel");
    info.features.cleanCrunch = plugin->parameterIndex("Clean/Crunch");
    info.features.lowHighGain = plugin->parameterIndex("Low/High Gain");
    if (info.numInputs < 1 || info.numOutputs < 1)
        return fail(error, path + ": an effect needs inputs and outputs to be measured");
    return true;
}

bool measure(const PluginInfo& info, const Case& c, double signalSeconds, double silenceSeconds,
             Measurement& result, std::string* error)
{
    result = Measurement();
    // A mono peer plays stereo as two instances, as a host would run it.
    const bool pair = c.stereo && info.numInputs == 1 && !info.features.hasStereoSwitch();
    result.instances = pair ? 2 : 1;

    vsthost::LoadOptions options;
    options.sampleRate = static_cast<float>(c.sampleRate);
    options.blockSize = c.blockSize;
    options.recordRequests = false;
    std::vector<std::unique_ptr<vsthost::Plugin>> owned;
    std::vector<vsthost::Plugin*> instances;
    for (int32_t i = 0; i < result.instances; ++i) {
        std::string loadError;
        auto plugin = vsthost::Plugin::load(info.path, &loadError, options);
        if (!plugin)
            return fail(error, loadError);
        plugin->setSampleRateAndBlockSize(static_cast<float>(c.sampleRate), c.blockSize);
        const Features& f = info.features;
        if (f.hasQuality())
            plugin->setParameter(f.quality, c.highQuality ? 1.f : 0.f);
        if (f.hasStereoSwitch())
            plugin->setParameter(f.stereo, c.stereo ? 1.f : 0.f);
        if (f.hasAmpModes()) {
            if (c.amp == Amp::AClean) {
                plugin->setParameter(f.channel, 0.f);
                plugin->setParameter(f.cleanCrunch, 0.f);
            } else {
                plugin->setParameter(f.channel, 1.f);
                plugin->setParameter(f.lowHighGain, 1.f);
            }
        }
        plugin->resume();
        instances.push_back(plugin.get());
        owned.push_back(std::move(plugin));
    }
    const int32_t channels = info.numInputs * result.instances;

    render::AudioBuffer output;
    render::runBlocks(instances, signalFor(channels, c.stereo, c.sampleRate, framesOf(kWarmUpSeconds, c.sampleRate), 5.0),
                      output, c.blockSize);

    render::RunStats signal = render::runBlocks(
        instances, signalFor(channels, c.stereo, c.sampleRate, framesOf(signalSeconds, c.sampleRate), 0.0), output,
        c.blockSize, nullptr, true);
    result.meanFactor = signal.realtimeFactor(c.sampleRate);
    result.worstFactor = signal.worstBlockRealtimeFactor(c.sampleRate);

    if (silenceSeconds > 0.0) {
        render::runBlocks(instances,
                          signalFor(channels, c.stereo, c.sampleRate, framesOf(kBurstSeconds, c.sampleRate), 0.0),
                          output, c.blockSize);
        render::AudioBuffer silence =
            render::AudioBuffer::silent(channels, framesOf(silenceSeconds, c.sampleRate), c.sampleRate);
        render::RunStats quiet = render::runBlocks(instances, silence, output, c.blockSize, nullptr, true);
        // Medians of the block costs: a denormal slowdown lasts the whole
        // silence, while a neighbour's build on the machine only hits a few blocks.
        const double signalCost = render::median(signal.perFrameSeconds);
        if (signalCost > 0.0)
            result.silenceCost = render::median(quiet.perFrameSeconds) / signalCost;
    }
    for (vsthost::Plugin* instance : instances)
        instance->suspend();
    return true;
}

}  // namespace ka813::rtf
