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

// Channel A's own mode, channel B's own mode and the one that plays, by the
// global switches as the values hold them.
struct SelectedModes {
    AmpMode channelA, channelB, active;
};

inline SelectedModes selectedModes(const ControlValues& controls)
{
    auto on = [&](uint32_t global) { return switchIsOn(controls[global]); };
    SelectedModes modes;
    modes.channelA = on(1) ? kModeACrunch : kModeAClean;
    modes.channelB = on(2) ? kModeBHighGain : kModeBLowGain;
    modes.active = on(0) ? modes.channelB : modes.channelA;
    return modes;
}

inline void parameterValues(const ControlValues& controls, float (&values)[kNumParameters])
{
    for (uint32_t g = 0; g < kNumGlobalPorts; ++g)
        values[kGlobalParameters[g]] = controls[g];
    const SelectedModes modes = selectedModes(controls);
    for (uint32_t c = 0; c < kNumModeControls; ++c) {
        const int32_t a = kModeControlsA[c];
        if (a == kParamInput || a == kParamVolume) {
            values[a] = controls[controlSlot(modePort(modes.active, c))];
        } else {
            values[modeParameter(modes.channelA, c)] = controls[controlSlot(modePort(modes.channelA, c))];
            values[modeParameter(modes.channelB, c)] = controls[controlSlot(modePort(modes.channelB, c))];
        }
    }
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
