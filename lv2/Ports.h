// The LV2 plug-in's ports, shared by the plug-in, its UI and the bundle
// generator. Every value lives in a port: the five global switches, and for
// each of the four amplifier modes its own ten controls, so a host's
// presets, sessions and automation hold the whole state.
#pragma once

#include <cstdint>

#include "shell/ParameterTable.h"
#include "shell/ProgramBank.h"

namespace ka813::lv2 {

constexpr const char* kPluginUri = "urn:ka813:preamp";
constexpr const char* kUiUri = "urn:ka813:preamp:ui";

enum AudioPort : uint32_t { kInputLeft = 0, kInputRight, kOutputLeft, kOutputRight, kNumAudioPorts };

// The global switches, in port order after the audio ports.
constexpr int32_t kGlobalParameters[] = {kParamChannel, kParamCleanCrunch, kParamLowHighGain,
                                         kParamStereo, kParamHighQuality};
constexpr uint32_t kNumGlobalPorts = sizeof kGlobalParameters / sizeof kGlobalParameters[0];
constexpr uint32_t kFirstGlobalPort = kNumAudioPorts;

// A mode's ten controls, in port order within the mode, by channel A's
// parameter index; channel B's modes use the matching B parameter.
constexpr int32_t kModeControlsA[] = {kParamInput,    kParamDriveA, kParamLowA,   kParamMidA,
                                      kParamHighA,    kParamContourA, kParamVolume, kParamFocusA,
                                      kParamBottomA,  kParamBrightA};
constexpr uint32_t kNumModeControls = sizeof kModeControlsA / sizeof kModeControlsA[0];
constexpr uint32_t kFirstModePort = kFirstGlobalPort + kNumGlobalPorts;
constexpr uint32_t kNumControlPorts = kNumGlobalPorts + kNumAmpModes * kNumModeControls;
static_assert(kNumControlPorts == 45, "five switches and four modes of ten");

// Symbols: the global switches by name, a mode's controls as mode_control.
constexpr const char* kGlobalSymbols[kNumGlobalPorts] = {"channel", "clean_crunch",
                                                         "low_high_gain", "mono_stereo",
                                                         "quality"};
constexpr const char* kModeSymbols[kNumAmpModes] = {"a_clean", "a_crunch", "b_low", "b_high"};
constexpr const char* kModeNames[kNumAmpModes] = {"A Clean", "A Crunch", "B Low Gain",
                                                  "B High Gain"};
constexpr const char* kControlSymbols[kNumModeControls] = {
    "input", "drive", "low", "mid", "high", "contour", "volume", "open_focus", "bottom", "bright"};

// The parameter a mode's control stands for: channel A's index in the A
// modes, the same control of channel B in the B modes.
constexpr int32_t modeParameter(AmpMode mode, uint32_t control)
{
    const int32_t a = kModeControlsA[control];
    const bool channelOwn = a != kParamInput && a != kParamVolume;
    return mode >= kModeBLowGain && channelOwn ? a + (kParamDriveB - kParamDriveA) : a;
}

constexpr uint32_t modePort(AmpMode mode, uint32_t control)
{
    return kFirstModePort + static_cast<uint32_t>(mode) * kNumModeControls + control;
}

// After the control inputs, one control output: the delay the oversampler
// adds, in whole host frames, for hosts to align tracks (lv2:latency).
constexpr uint32_t kLatencyPort = kFirstModePort + kNumAmpModes * kNumModeControls;
constexpr const char* kLatencySymbol = "latency";
constexpr uint32_t kNumPorts = kLatencyPort + 1;
static_assert(kLatencyPort == 49 && kNumPorts == 50, "four audio, 45 control inputs, latency");

}  // namespace ka813::lv2
