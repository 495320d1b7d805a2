#include "lv2/ui/PanelPorts.h"

namespace ka813::lv2 {

namespace {

constexpr uint32_t globalPort(int32_t parameter) {
    for (uint32_t i = 0; i < kNumGlobalPorts; ++i)
        if (kGlobalParameters[i] == parameter)
            return kFirstGlobalPort + i;
    return 0;
}

// The control of a mode that stands for a parameter, or kNumModeControls.
constexpr uint32_t modeControl(AmpMode mode, int32_t parameter) {
    for (uint32_t control = 0; control < kNumModeControls; ++control)
        if (modeParameter(mode, control) == parameter)
            return control;
    return kNumModeControls;
}

// Which mode's ports a parameter's control follows.
enum class Follows { Global, ChannelA, ChannelB, ActiveMode };

constexpr Follows follows(int32_t parameter) {
    if (globalPort(parameter) != 0)
        return Follows::Global;
    if (parameter == kParamInput || parameter == kParamVolume)
        return Follows::ActiveMode;
    return parameter >= kParamDriveB ? Follows::ChannelB : Follows::ChannelA;
}

// Every panel control has a port in every mode it can follow.
constexpr bool everyParameterHasAPort() {
    for (int32_t parameter = 0; parameter < kNumParameters; ++parameter) {
        const Follows f = follows(parameter);
        if (f == Follows::Global)
            continue;
        const AmpMode first = f == Follows::ChannelB ? kModeBLowGain : kModeAClean;
        const AmpMode last = f == Follows::ChannelA ? kModeACrunch : kModeBHighGain;
        for (int32_t mode = first; mode <= last; ++mode)
            if (modeControl(static_cast<AmpMode>(mode), parameter) == kNumModeControls)
                return false;
    }
    return true;
}
static_assert(everyParameterHasAPort(), "a panel control without a port");

}  // namespace

PanelPorts::PanelPorts() {
    for (uint32_t i = 0; i < kNumGlobalPorts; ++i)
        values[i] = parameterInfo(kGlobalParameters[i])->defaultValue;
    for (int32_t mode = 0; mode < kNumAmpModes; ++mode)
        for (uint32_t control = 0; control < kNumModeControls; ++control) {
            const AmpMode m = static_cast<AmpMode>(mode);
            values[modePort(m, control) - kFirstGlobalPort] =
                parameterInfo(modeParameter(m, control))->defaultValue;
        }
}

bool PanelPorts::selectsMode(uint32_t port) {
    return port == globalPort(kParamChannel) || port == globalPort(kParamCleanCrunch) ||
           port == globalPort(kParamLowHighGain);
}

float PanelPorts::global(int32_t parameter) const { return port(globalPort(parameter)); }

AmpMode PanelPorts::modeA() const {
    return switchIsOn(global(kParamCleanCrunch)) ? kModeACrunch : kModeAClean;
}

AmpMode PanelPorts::modeB() const {
    return switchIsOn(global(kParamLowHighGain)) ? kModeBHighGain : kModeBLowGain;
}

AmpMode PanelPorts::activeMode() const {
    return switchIsOn(global(kParamChannel)) ? modeB() : modeA();
}

uint32_t PanelPorts::portOf(int32_t parameter) const {
    if (parameter < 0 || parameter >= kNumParameters)
        return 0;  // an audio port: never a control's
    AmpMode mode;
    switch (follows(parameter)) {
    case Follows::Global: return globalPort(parameter);
    case Follows::ChannelA: mode = modeA(); break;
    case Follows::ChannelB: mode = modeB(); break;
    default: mode = activeMode(); break;
    }
    const uint32_t control = modeControl(mode, parameter);
    return control < kNumModeControls ? modePort(mode, control) : 0;
}

void PanelPorts::setPort(uint32_t index, float value) {
    if (isControlPort(index))
        values[index - kFirstGlobalPort] = value;
}

}  // namespace ka813::lv2
