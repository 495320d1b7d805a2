// The LV2 plug-in's ports, shared by the plug-in, its UI and the bundle
// generator. Every value lives in a port: the five global switches, and for
// each of the four amplifier modes its own ten controls, so a host's
// presets, sessions and automation hold the whole state.
#pragma once

#include <cstdint>
#include <string>

#include "shell/ModeMap.h"
#include "shell/ParameterTable.h"

namespace ka813::lv2 {

constexpr const char* kPluginUri = "urn:ka813:preamp";
constexpr const char* kUiUri = "urn:ka813:preamp:ui";

enum AudioPort : uint32_t { kInputLeft = 0, kInputRight, kOutputLeft, kOutputRight, kNumAudioPorts };

// The global switches, in port order after the audio ports.
constexpr int32_t kGlobalParameters[] = {kParamChannel, kParamCleanCrunch, kParamLowHighGain,
                                         kParamStereo, kParamHighQuality};
constexpr uint32_t kNumGlobalPorts = sizeof kGlobalParameters / sizeof kGlobalParameters[0];
constexpr uint32_t kFirstGlobalPort = kNumAudioPorts;

// Then each mode's controls, in the mode map's order of modes and controls.
constexpr uint32_t kFirstModePort = kFirstGlobalPort + kNumGlobalPorts;
constexpr uint32_t kNumControlPorts = kNumGlobalPorts + kNumAmpModes * kNumModeControls;
static_assert(kNumControlPorts == 45, "five switches and four modes of ten");

// Symbols: the global switches by name, a mode's controls as mode_control,
// both parts from the mode map.
constexpr const char* kGlobalSymbols[kNumGlobalPorts] = {"channel", "clean_crunch",
                                                         "low_high_gain", "mono_stereo",
                                                         "quality"};

// Each mode's Volume port starts where that mode, at its other defaults,
// sounds at -18 LUFS integrated on the built-in riff at 44.1 kHz (libebur128),
// as the factory presets are levelled: found by bisection on the riff
// rendered through the plug-in, rounded to 4 digits. The parameter table's
// 0.5, which the VST 2 effect keeps, comes out at +1.8 LUFS in A Clean.
constexpr int32_t kVolumeControl = modeControlOf(kParamVolume);
constexpr float kDefaultVolume[kNumAmpModes] = {0.051f, 0.0984f, 0.1328f, 0.121f};

constexpr uint32_t modePort(AmpMode mode, int32_t control)
{
    return kFirstModePort + static_cast<uint32_t>(mode) * kNumModeControls + static_cast<uint32_t>(control);
}

// The symbol of a control input.
inline std::string controlSymbol(uint32_t port)
{
    if (port < kFirstModePort)
        return kGlobalSymbols[port - kFirstGlobalPort];
    const uint32_t mode = (port - kFirstModePort) / kNumModeControls;
    return std::string(kModeMap.modes[mode].symbol) + "_"
           + kModeMap.controls[(port - kFirstModePort) % kNumModeControls].symbol;
}

// After the control inputs, one control output: the delay the oversampler
// adds, in whole host frames, for hosts to align tracks (lv2:latency).
constexpr uint32_t kLatencyPort = kFirstModePort + kNumAmpModes * kNumModeControls;
constexpr const char* kLatencySymbol = "latency";

// Then the switch hosts bypass the plug-in by (lv2:enabled): off, the output
// cross-fades to the input delayed by the latency.
constexpr uint32_t kEnabledPort = kLatencyPort + 1;
constexpr const char* kEnabledSymbol = "enabled";
// Then two control outputs a host shows as meters: the level that arrives
// (before Input) and the level that leaves (after Volume), in dBFS, with
// the hold and fall of the panel's lights.
constexpr uint32_t kInputLevelPort = kEnabledPort + 1;
constexpr uint32_t kOutputLevelPort = kEnabledPort + 2;
constexpr const char* kInputLevelSymbol = "input_level";
constexpr const char* kOutputLevelSymbol = "output_level";
constexpr uint32_t kNumPorts = kOutputLevelPort + 1;
static_assert(kLatencyPort == 49 && kEnabledPort == 50 && kInputLevelPort == 51 && kOutputLevelPort == 52
                  && kNumPorts == 53,
              "four audio, 45 control inputs, latency, enabled, two levels");

}  // namespace ka813::lv2
