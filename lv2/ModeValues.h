// What the model plays from the LV2 ports: the 23 parameter values the VST 2
// effect holds once a recall has brought the selected modes' memories back.
// Which port holds which parameter follows the mode map: a value from the
// memory of the mode that remembers it now, the five global switches as
// they are. Shared by the plug-in, its UI and the tests.
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

// The modes the global switches select, as the values hold them.
inline SelectedModes selectedModes(const ControlValues& controls)
{
    return ka813::selectedModes(
        [&](int32_t parameter) { return controls[controlSlot(globalPort(parameter))]; });
}

// The port that holds a parameter's value under these modes: the model
// plays it, the panel shows and writes it.
constexpr uint32_t portOf(int32_t parameter, const SelectedModes& modes)
{
    if (const uint32_t port = globalPort(parameter))
        return port;
    return modePort(AmpMode(rememberingMode(parameter, modes)), modeControlOf(parameter));
}

// Every parameter has a port in every choice of modes.
constexpr bool everyParameterHasAPort()
{
    // The three mode switches' eight combinations, by bit.
    for (int32_t combination = 0; combination < 8; ++combination) {
        const SelectedModes modes = ka813::selectedModes([&](int32_t parameter) -> float {
            for (int32_t bit = 0; bit < 3; ++bit)
                if (kModeSwitches[bit] == parameter)
                    return float((combination >> bit) & 1);
            return 0.f;
        });
        for (int32_t p = 0; p < kNumParameters; ++p) {
            if (!globalPort(p) && rememberingMode(p, modes) < 0)
                return false;
            const uint32_t port = portOf(p, modes);
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

// A control input's default: the parameter table's, but for each mode's
// Volume, which starts at a level a player can start from.
inline float portDefault(uint32_t port)
{
    if (port < kFirstModePort)
        return parameterInfo(kGlobalParameters[port - kFirstGlobalPort])->defaultValue;
    const AmpMode mode = AmpMode((port - kFirstModePort) / kNumModeControls);
    const int32_t control = int32_t((port - kFirstModePort) % kNumModeControls);
    return control == kVolumeControl ? kDefaultVolume[mode] : parameterInfo(modeParameter(mode, control))->defaultValue;
}

// Every control input at its default.
inline void defaultControls(ControlValues& controls)
{
    for (uint32_t i = 0; i < kNumControlPorts; ++i)
        controls[i] = portDefault(kFirstGlobalPort + i);
}

}  // namespace ka813::lv2
