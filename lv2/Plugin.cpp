// The amplifier as an LV2 plug-in. Every value lives in a port; run turns
// the ports into the 23 parameter values once per block in which one of
// them changed and hands them to the model's owner, the effect core's one
// way from values to sound, as the VST 2 effect hands over its values
// between blocks. The enabled port bypasses it with a cross-fade (Bypass.h).
// Nothing in run locks, allocates or calls the system.
#include <lv2/core/lv2.h>

#include <cmath>
#include <cstring>
#include <new>

#include "lv2/Bypass.h"
#include "lv2/Latency.h"
#include "lv2/ModeValues.h"
#include "shell/ModelOwner.h"

using namespace ka813;
using namespace ka813::lv2;

namespace {

struct Instance {
    Instance(const ControlValues& initial, float rate)
        : hostRate(rate), owner(valuesOf(initial).values, rate), bypass(rate)
    {
        std::memcpy(applied, initial, sizeof applied);
    }

    float hostRate;
    const float* inputs[2] = {nullptr, nullptr};
    float* outputs[2] = {nullptr, nullptr};
    const float* controls[kNumControlPorts] = {};
    float* latency = nullptr;
    const float* enabled = nullptr;
    float* inputLevel = nullptr;
    float* outputLevel = nullptr;
    // The control values the model's values were last made from.
    ControlValues applied{};
    ModelOwner owner;
    Bypass bypass;

    // Unconnected, the plug-in plays; a toggle is on above zero.
    bool enabledNow() const { return !enabled || !(*enabled <= 0.f); }
    int32_t latencyNow() const { return latencyFrames(owner.model().oversamplingFactor); }

    // A block that the bypass or its fade takes part in, in pieces that its
    // copy of the dry input holds. Fully bypassed, the amplifier does not
    // run. It does not keep its state for the return either: a filter or
    // a coupling capacitor still charged by a note played long before would
    // sound as a thump and a scrap of that note. It restarts from its quiet
    // operating point at the values the ports hold, as after a long
    // silence, and fades in at once.
    void playBypassed(const float* const* inputs, float* const* outputs, int32_t frames)
    {
        const bool on = enabledNow();
        for (int32_t start = 0; start < frames;) {
            const int32_t count = frames - start < Bypass::kPieceFrames ? frames - start : Bypass::kPieceFrames;
            const float* in[2] = {inputs[0] + start, inputs[1] + start};
            float* out[2] = {outputs[0] + start, outputs[1] + start};
            bypass.takePiece(in, count);
            if (bypass.fullyBypassed() && !on) {
                bypass.playDry(out, count, latencyNow());
                owner.meterBypassed(in, out, count);
            } else {
                if (bypass.fullyBypassed())
                    owner.resume();
                owner.process(in, out, count);
                bypass.mix(out, count, latencyNow(), on);
            }
            start += count;
        }
    }

    struct Values {
        ModelOwner::Values values;
    };
    static Values valuesOf(const ControlValues& controls)
    {
        Values values;
        parameterValues(controls, values.values);
        return values;
    }

    // The control values as the ports hold them; an unconnected port keeps
    // the value last applied.
    void readControls(ControlValues& now) const
    {
        for (uint32_t i = 0; i < kNumControlPorts; ++i)
            now[i] = controls[i] ? *controls[i] : applied[i];
    }

    // One change at most, and only when a value differs bit for bit.
    void takeControls()
    {
        ControlValues now;
        readControls(now);
        if (std::memcmp(now, applied, sizeof now) == 0)
            return;
        std::memcpy(applied, now, sizeof now);
        owner.publish(valuesOf(applied).values, hostRate);
    }
};

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*)
{
    const float hostRate = static_cast<float>(rate);
    if (!(hostRate > 0.f) || !std::isfinite(hostRate))
        return nullptr;
    ControlValues defaults;
    defaultControls(defaults);
    return new (std::nothrow) Instance(defaults, hostRate);
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
    else if (port == kEnabledPort)
        self.enabled = static_cast<const float*>(data);
    else if (port == kInputLevelPort)
        self.inputLevel = static_cast<float*>(data);
    else if (port == kOutputLevelPort)
        self.outputLevel = static_cast<float*>(data);
}

// The stream starts anew: the model starts from its quiet state at the
// values the ports hold, as the VST 2 effect does on resume, and bypassed
// or not as the enabled port says, without a fade from what played before.
void activate(LV2_Handle handle)
{
    Instance& self = *static_cast<Instance*>(handle);
    self.takeControls();
    self.owner.resume();
    self.bypass.start(self.enabledNow());
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
            if (self.bypass.fullyEnabled() && self.enabledNow()) {
                self.bypass.remember(sides, count);
                self.owner.process(sides, self.outputs, count);
            } else {
                self.playBypassed(sides, self.outputs, count);
            }
        }
    }
    if (self.latency)
        *self.latency = static_cast<float>(self.latencyNow());
    if (self.inputLevel)
        *self.inputLevel = self.owner.level(ModelOwner::Meter::kInput);
    if (self.outputLevel)
        *self.outputLevel = self.owner.level(ModelOwner::Meter::kOutput);
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
