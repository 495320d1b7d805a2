// What the model plays from the LV2 ports: the 23 parameter values the VST 2
// effect holds once a recall has brought the selected modes' memories back.
// Channel A's eight knobs and switches come from A's own mode (clean or
// crunch, whichever channel plays), channel B's from B's own mode (low or
// high gain), Input and Volume from the mode that plays, the five global
// switches as they are. Shared by the plug-in, its UI and the tests.
#pragma once

#include "lv2/Ports.h"

namespace ka813::lv2 {

// The control inputs' values in port order, from kFirstGlobalPort on.
using ControlValues = float[kNumControlPorts];

constexpr uint32_t controlSlot(uint32_t port) { return port - kFirstGlobalPort; }

// The port of a global switch, or 0 (an audio port) for any other parameter.
constexpr uint32_t globalPort(int32_t parameter)
{
    for (uint32_t i = 0; i < kNumGlobalPorts; ++i)
        if (kGlobalParameters[i] == parameter)
            return kFirstGlobalPort + i;
    return 0;
}

// The control of a mode that stands for a parameter, or kNumModeControls.
constexpr uint32_t modeControl(AmpMode mode, int32_t parameter)
{
    for (uint32_t control = 0; control < kNumModeControls; ++control)
        if (modeParameter(mode, control) == parameter)
            return control;
    return kNumModeControls;
}

// Channel A's own mode, channel B's own mode and the one that plays, by the
// global switches as the values hold them.
struct SelectedModes {
    AmpMode channelA, channelB, active;
};

inline SelectedModes selectedModes(const ControlValues& controls)
{
    auto on = [&](int32_t parameter) { return switchIsOn(controls[controlSlot(globalPort(parameter))]); };
    SelectedModes modes;
    modes.channelA = on(kParamCleanCrunch) ? kModeACrunch : kModeAClean;
    modes.channelB = on(kParamLowHighGain) ? kModeBHighGain : kModeBLowGain;
    modes.active = on(kParamChannel) ? modes.channelB : modes.channelA;
    return modes;
}

// The port that holds a parameter's value under these modes: the model
// plays it, the panel shows and writes it.
constexpr uint32_t portOf(int32_t parameter, const SelectedModes& modes)
{
    if (const uint32_t port = globalPort(parameter))
        return port;
    const AmpMode mode = parameter == kParamInput || parameter == kParamVolume ? modes.active
                         : parameter >= kParamDriveB                           ? modes.channelB
                                                                               : modes.channelA;
    return modePort(mode, modeControl(mode, parameter));
}

// Every parameter has a port in every mode it can follow.
constexpr bool everyParameterHasAPort()
{
    for (int32_t a = kModeAClean; a <= kModeACrunch; ++a)
        for (int32_t b = kModeBLowGain; b <= kModeBHighGain; ++b)
            for (int32_t p = 0; p < kNumParameters; ++p) {
                const SelectedModes modes[] = {{AmpMode(a), AmpMode(b), AmpMode(a)},
                                               {AmpMode(a), AmpMode(b), AmpMode(b)}};
                for (const SelectedModes& m : modes) {
                    const uint32_t port = portOf(p, m);
                    if (port < kFirstGlobalPort || port >= kFirstGlobalPort + kNumControlPorts)
                        return false;
                }
            }
    return true;
}
static_assert(everyParameterHasAPort(), "a parameter without a port");

inline void parameterValues(const ControlValues& controls, float (&values)[kNumParameters])
{
    const SelectedModes modes = selectedModes(controls);
    for (int32_t parameter = 0; parameter < kNumParameters; ++parameter)
        values[parameter] = controls[controlSlot(portOf(parameter, modes))];
}

// Every control input at its default from the parameter table.
inline void defaultControls(ControlValues& controls)
{
    for (uint32_t g = 0; g < kNumGlobalPorts; ++g)
        controls[g] = parameterInfo(kGlobalParameters[g])->defaultValue;
    for (int32_t m = 0; m < kNumAmpModes; ++m)
        for (uint32_t c = 0; c < kNumModeControls; ++c)
            controls[controlSlot(modePort(AmpMode(m), c))] =
                parameterInfo(modeParameter(AmpMode(m), c))->defaultValue;
}

}  // namespace ka813::lv2
