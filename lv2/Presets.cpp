#include "lv2/Presets.h"

#include <string>

namespace ka813::lv2 {

// Volume (the seventh value) is the one found by measurement: the level of
// each preset on the riff, searched to -18 LUFS and rounded to 4 digits
// (tools/presets/ka813_preset_volumes.cpp); Default's is the port's
// default, found the same way.
const Preset kPresets[] = {
    // symbol, label, mode, stereo, quality,
    //   input, drive, low, mid, high, contour, volume, open/focus, bottom, bright
    {"default", "Default", kModeAClean, 0.f, 0.f,
     {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, kDefaultVolume[kModeAClean], 0.f, 0.f, 0.f}},
    {"glass_clean", "Glass Clean", kModeAClean, 0.f, 0.f,
     {0.5f, 0.35f, 0.45f, 0.5f, 0.65f, 0.4f, 0.012f, 0.f, 0.f, 1.f}},
    {"warm_jazz", "Warm Jazz", kModeAClean, 0.f, 0.f,
     {0.45f, 0.3f, 0.6f, 0.55f, 0.3f, 0.3f, 0.1491f, 0.f, 1.f, 0.f}},
    {"edge_of_breakup", "Edge of Breakup", kModeACrunch, 0.f, 0.f,
     {0.5f, 0.35f, 0.5f, 0.6f, 0.55f, 0.4f, 0.1242f, 0.f, 0.f, 0.f}},
    {"classic_rock_crunch", "Classic Rock Crunch", kModeACrunch, 0.f, 0.f,
     {0.55f, 0.7f, 0.55f, 0.65f, 0.6f, 0.5f, 0.0787f, 1.f, 0.f, 0.f}},
    {"blues_lead", "Blues Lead", kModeBLowGain, 0.f, 0.f,
     {0.5f, 0.55f, 0.5f, 0.7f, 0.5f, 0.35f, 0.1781f, 1.f, 0.f, 0.f}},
    {"thick_rhythm", "Thick Rhythm", kModeBLowGain, 0.f, 0.f,
     {0.5f, 0.7f, 0.65f, 0.45f, 0.55f, 0.6f, 0.1153f, 0.f, 1.f, 0.f}},
    {"modern_metal", "Modern Metal", kModeBHighGain, 0.f, 0.f,
     {0.5f, 0.75f, 0.6f, 0.35f, 0.6f, 0.75f, 0.1104f, 1.f, 1.f, 0.f}},
    {"singing_lead", "Singing Lead", kModeBHighGain, 0.f, 0.f,
     {0.5f, 0.85f, 0.5f, 0.7f, 0.5f, 0.4f, 0.0918f, 0.f, 0.f, 1.f}},
};
const uint32_t kNumPresets = sizeof kPresets / sizeof kPresets[0];

std::string presetUri(const Preset& preset)
{
    return std::string(kPluginUri) + ":preset:" + preset.symbol;
}

void presetControls(const Preset& preset, ControlValues& controls)
{
    defaultControls(controls);
    auto global = [&](int32_t parameter) -> float& { return controls[controlSlot(globalPort(parameter))]; };
    for (int32_t modeSwitch : kModeSwitches)
        global(modeSwitch) = switchValueFor(preset.mode, modeSwitch);
    global(kParamStereo) = preset.stereo;
    global(kParamHighQuality) = preset.highQuality;
    for (int32_t c = 0; c < kNumModeControls; ++c)
        controls[controlSlot(modePort(preset.mode, c))] = preset.controls[c];
}

}  // namespace ka813::lv2
