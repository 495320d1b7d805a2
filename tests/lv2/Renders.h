// Rendering through the LV2 plug-in (lilv) and through the VST 2 library set
// to the same values, block by block in the same patterns.
#pragma once

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "lv2/ModeValues.h"
#include "tests/lv2/LilvHost.h"
#include "tests/shell/PluginPath.h"
#include "tools/host/VstHost.h"

namespace ka813::test {

struct StereoSignal {
    std::vector<float> left, right;
};

// Block lengths, repeated until the signal ends.
using BlockPattern = std::vector<uint32_t>;

// Between two blocks, before the block that starts at this frame.
struct PortChange {
    size_t frame;
    uint32_t port;
    float value;
};

inline void setControls(Lv2Instance& plugin, const ka813::lv2::ControlValues& controls)
{
    for (uint32_t i = 0; i < ka813::lv2::kNumControlPorts; ++i)
        plugin.port(ka813::lv2::kFirstGlobalPort + i) = controls[i];
}

inline StereoSignal renderLv2(LilvHost& host, double rate, const ka813::lv2::ControlValues& controls,
                              const StereoSignal& input, const BlockPattern& pattern, bool inPlace,
                              const std::vector<PortChange>& changes = {})
{
    Lv2Instance plugin(host, rate);
    setControls(plugin, controls);
    plugin.activate();
    StereoSignal out{inPlace ? input.left : std::vector<float>(input.left.size()),
                     inPlace ? input.right : std::vector<float>(input.right.size())};
    size_t start = 0, block = 0;
    while (start < input.left.size()) {
        for (const PortChange& change : changes)
            if (change.frame == start)
                plugin.port(change.port) = change.value;
        const uint32_t count = static_cast<uint32_t>(
            std::min<size_t>(pattern[block++ % pattern.size()], input.left.size() - start));
        if (inPlace)
            plugin.connectAudio(out.left.data() + start, out.right.data() + start, out.left.data() + start,
                                out.right.data() + start);
        else
            plugin.connectAudio(input.left.data() + start, input.right.data() + start,
                                out.left.data() + start, out.right.data() + start);
        plugin.run(count);
        start += count;
    }
    plugin.deactivate();
    return out;
}

// The VST 2 effect holding every mode's values in its memories, as the LV2
// ports hold them, and set to the modes the switches select: each mode is
// selected and its ten values set, the selected ones last, then the channel
// switch and the two others. A recall then brings back what the ports hold.
inline void setVst2(ka813::vsthost::Plugin& effect, const ka813::lv2::ControlValues& controls)
{
    using namespace ka813;
    using namespace ka813::lv2;
    const SelectedModes selected = selectedModes(controls);
    const AmpMode others[] = {selected.channelA == kModeAClean ? kModeACrunch : kModeAClean,
                              selected.channelB == kModeBLowGain ? kModeBHighGain : kModeBLowGain};
    const AmpMode order[] = {others[0], others[1], selected.channelA, selected.channelB};
    for (AmpMode mode : order) {
        effect.setParameter(kParamChannel, mode >= kModeBLowGain ? 1.f : 0.f);
        if (mode >= kModeBLowGain)
            effect.setParameter(kParamLowHighGain, mode == kModeBHighGain ? 1.f : 0.f);
        else
            effect.setParameter(kParamCleanCrunch, mode == kModeACrunch ? 1.f : 0.f);
        for (int32_t c = 0; c < kNumModeControls; ++c)
            effect.setParameter(modeParameter(mode, c), controls[controlSlot(modePort(mode, c))]);
    }
    for (uint32_t g = 0; g < kNumGlobalPorts; ++g)
        effect.setParameter(kGlobalParameters[g], controls[g]);
}

// The same through the VST 2 library: a port change becomes the parameter
// change of its global switch.
inline StereoSignal renderVst2(double rate, const ka813::lv2::ControlValues& controls,
                               const StereoSignal& input, const BlockPattern& pattern, bool inPlace,
                               const std::vector<PortChange>& changes = {})
{
    std::string error;
    ka813::vsthost::LoadOptions options;
    options.sampleRate = static_cast<float>(rate);
    options.recordRequests = false;
    auto effect = ka813::vsthost::Plugin::load(pluginPath(), &error, options);
    EXPECT_TRUE(effect) << error;
    if (!effect)
        return {};
    effect->setSampleRateAndBlockSize(static_cast<float>(rate), 1024);
    setVst2(*effect, controls);
    effect->resume();
    StereoSignal out{inPlace ? input.left : std::vector<float>(input.left.size()),
                     inPlace ? input.right : std::vector<float>(input.right.size())};
    size_t start = 0, block = 0;
    while (start < input.left.size()) {
        for (const PortChange& change : changes)
            if (change.frame == start)
                effect->setParameter(ka813::lv2::kGlobalParameters[change.port - ka813::lv2::kFirstGlobalPort],
                                     change.value);
        const int32_t count = static_cast<int32_t>(
            std::min<size_t>(pattern[block++ % pattern.size()], input.left.size() - start));
        float* inputs[] = {const_cast<float*>((inPlace ? out : input).left.data() + start),
                           const_cast<float*>((inPlace ? out : input).right.data() + start)};
        float* outputs[] = {out.left.data() + start, out.right.data() + start};
        effect->processReplacing(inputs, outputs, count);
        start += static_cast<size_t>(count);
    }
    effect->suspend();
    return out;
}

}  // namespace ka813::test
