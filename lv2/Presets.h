// The factory presets shipped in the bundle: at least two per mode, named
// for their sound, and the defaults. Each sets all 45 control inputs: its
// mode's ten controls and the switches that select it, every other mode at
// its defaults. Volume levels them to -18 LUFS integrated on the built-in
// riff at 44.1 kHz (tests/lv2/PresetTest.cpp measures every one), as the
// ports' defaults are; the Default preset is exactly those defaults.
#pragma once

#include <string>

#include "lv2/ModeValues.h"

namespace ka813::lv2 {

struct Preset {
    const char* symbol;  // the last part of the preset's URI
    const char* label;
    AmpMode mode;
    float stereo, highQuality;
    // The mode's ten controls in port order: Input, Drive, Low, Mid, High,
    // Contour, Volume, Open/Focus, Bottom, Bright.
    float controls[kNumModeControls];
};

extern const Preset kPresets[];
extern const uint32_t kNumPresets;

// The preset's URI: the plug-in's, then ":preset:" and the symbol.
std::string presetUri(const Preset& preset);

// Every control input's value in the preset.
void presetControls(const Preset& preset, ControlValues& controls);

}  // namespace ka813::lv2
