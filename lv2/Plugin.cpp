// The amplifier as an LV2 plug-in. Every value lives in a port; run derives
// the model's settings from the ports once per block in which one of them
// changed, as the VST 2 effect takes the newest settings between blocks.
// Nothing in run locks, allocates or calls the system.
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstring>
#include <new>

#include "dsp/AmpModel.h"
#include "lv2/Latency.h"
#include "lv2/ModeValues.h"

using namespace ka813;
using namespace ka813::lv2;

namespace {

struct Instance {
    float hostRate = 0.f;
    const float* inputs[2] = {nullptr, nullptr};
    float* outputs[2] = {nullptr, nullptr};
    const float* controls[kNumControlPorts] = {};
    float* latency = nullptr;
    // The control values the model's settings were last made from.
    ControlValues applied{};
    AmpModel amp;

    // The control values as the ports hold them; an unconnected port keeps
    // the value last applied.
    void readControls(ControlValues& now) const
    {
        for (uint32_t i = 0; i < kNumControlPorts; ++i)
            now[i] = controls[i] ? *controls[i] : applied[i];
    }

    static AmpSettings settingsOf(const ControlValues& controls)
    {
        float values[kNumParameters];
        parameterValues(controls, values);
        return settingsFor(positionsOf(values));
    }

    // One change at most, and only when a value differs bit for bit.
    void takeControls()
    {
        ControlValues now;
        readControls(now);
        if (std::memcmp(now, applied, sizeof now) == 0)
            return;
        std::memcpy(applied, now, sizeof now);
        amp.change(settingsOf(applied), hostRate);
    }
};

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*)
{
    const float hostRate = static_cast<float>(rate);
    if (!(hostRate > 0.f) || !std::isfinite(hostRate))
        return nullptr;
    Instance* instance = new (std::nothrow) Instance;
    if (!instance)
        return nullptr;
    instance->hostRate = hostRate;
    defaultControls(instance->applied);
    instance->amp.start(Instance::settingsOf(instance->applied), hostRate);
    return instance;
}

void connectPort(LV2_Handle handle, uint32_t port, void* data)
{
    Instance& self = *static_cast<Instance*>(handle);
    if (port < kOutputLeft)
        self.inputs[port - kInputLeft] = static_cast<const float*>(data);
    else if (port < kNumAudioPorts)
        self.outputs[port - kOutputLeft] = static_cast<float*>(data);
    else if (port < kLatencyPort)
        self.controls[port - kFirstGlobalPort] = static_cast<const float*>(data);
    else if (port == kLatencyPort)
        self.latency = static_cast<float*>(data);
}

// The stream starts anew: the model starts from its quiet state at the
// values the ports hold, as the VST 2 effect does on resume.
void activate(LV2_Handle handle)
{
    Instance& self = *static_cast<Instance*>(handle);
    self.takeControls();
    self.amp.settle();
}

void run(LV2_Handle handle, uint32_t frames)
{
    Instance& self = *static_cast<Instance*>(handle);
    // An empty block changes nothing, as in VST 2: the settings wait for
    // the next block that plays.
    if (frames > 0) {
        self.takeControls();
        if (self.inputs[0] && self.outputs[0] && self.outputs[1]) {
            const float* sides[2] = {self.inputs[0], self.inputs[1] ? self.inputs[1] : self.inputs[0]};
            // Far beyond any block a host hands over; the model counts in int32_t.
            const int32_t count = frames > 0x40000000u ? 0x40000000 : static_cast<int32_t>(frames);
            self.amp.processBlock(sides, self.outputs, count);
        }
    }
    if (self.latency)
        *self.latency = static_cast<float>(latencyFrames(self.amp.oversamplingFactor));
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle handle)
{
    delete static_cast<Instance*>(handle);
}

const void* extensionData(const char*)
{
    return nullptr;
}

const LV2_Descriptor kDescriptor = {kPluginUri, instantiate, connectPort, activate,
                                    run,        deactivate,  cleanup,     extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index)
{
    if (index != 0 || !ka813::simd::processorRunsLanes())
        return nullptr;
    return &kDescriptor;
}
