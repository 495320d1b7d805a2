// The one map of the amplifier's four modes: the values each mode remembers
// and where, which mode plays for the switches' positions, what each switch
// brings back, and each mode control's LV2 port. The program bank, the
// effect core, the LV2 plug-in, its panel and its presets all read the
// modes from here and encode none of it themselves.
#pragma once

#include <cstdint>

#include "shell/ParameterTable.h"

namespace ka813 {

// In the order of their memories in a program record and of their LV2 ports.
enum AmpMode : int32_t { kModeAClean = 0, kModeACrunch, kModeBLowGain, kModeBHighGain, kNumAmpModes };
enum AmpChannel : int32_t { kChannelA = 0, kChannelB, kNumChannels };

constexpr int32_t kNumModeControls = 10;
constexpr int32_t kModeMemorySlots = 11;  // slot 8 is reserved and kept as loaded

struct ModeInfo {
    const char* symbol;  // its LV2 port group's, and the start of its ports'
    const char* name;
    AmpChannel channel;  // plays when the Channel switch selects this channel
    bool modeSwitchOn;   // and its channel's mode switch stands in this state
};

// One of the values each mode remembers.
struct ModeControl {
    const char* symbol;                // its LV2 port's, after the mode's
    int32_t memorySlot;                // float index in a mode memory
    int32_t parameter[kNumChannels];   // what it stands for in A's modes and in B's
};

struct ModeMap {
    int32_t channelSwitch;
    int32_t modeSwitch[kNumChannels];  // each channel's own choice of mode
    ModeInfo modes[kNumAmpModes];
    // In LV2 port order: a mode's ports are its controls in this order.
    ModeControl controls[kNumModeControls];
    // The order in which a mode switch brings its controls back; the
    // Channel switch brings back those both channels share, in this order.
    int32_t recallOrder[kNumModeControls];
};

constexpr ModeMap kModeMap = {
    kParamChannel,
    {kParamCleanCrunch, kParamLowHighGain},
    {{"a_clean", "A Clean", kChannelA, false},
     {"a_crunch", "A Crunch", kChannelA, true},
     {"b_low", "B Low Gain", kChannelB, false},
     {"b_high", "B High Gain", kChannelB, true}},
    {{"input", 0, {kParamInput, kParamInput}},
     {"drive", 1, {kParamDriveA, kParamDriveB}},
     {"low", 2, {kParamLowA, kParamLowB}},
     {"mid", 3, {kParamMidA, kParamMidB}},
     {"high", 4, {kParamHighA, kParamHighB}},
     {"contour", 5, {kParamContourA, kParamContourB}},
     {"volume", 6, {kParamVolume, kParamVolume}},
     {"open_focus", 7, {kParamFocusA, kParamFocusB}},
     {"bottom", 9, {kParamBottomA, kParamBottomB}},
     {"bright", 10, {kParamBrightA, kParamBrightB}}},
    {0, 1, 2, 3, 4, 5, 6, 7, 9, 8},
};

// A memory slot per control, the reserved one left free; every control
// brought back once.
constexpr bool mapIsConsistent()
{
    bool slotUsed[kModeMemorySlots] = {}, recalled[kNumModeControls] = {};
    slotUsed[8] = true;
    for (const ModeControl& control : kModeMap.controls) {
        if (control.memorySlot < 0 || control.memorySlot >= kModeMemorySlots || slotUsed[control.memorySlot])
            return false;
        slotUsed[control.memorySlot] = true;
    }
    for (int32_t control : kModeMap.recallOrder) {
        if (control < 0 || control >= kNumModeControls || recalled[control])
            return false;
        recalled[control] = true;
    }
    return true;
}
static_assert(mapIsConsistent(), "mode map");

// The three switches that choose which mode plays.
constexpr int32_t kModeSwitches[] = {kModeMap.channelSwitch, kModeMap.modeSwitch[kChannelA],
                                     kModeMap.modeSwitch[kChannelB]};

constexpr AmpChannel channelOf(AmpMode mode) { return kModeMap.modes[mode].channel; }

// The parameter a mode's control stands for.
constexpr int32_t modeParameter(AmpMode mode, int32_t control)
{
    return kModeMap.controls[control].parameter[channelOf(mode)];
}

// A control both channels share is remembered by the mode that plays; any
// other by its channel's own mode, whichever channel plays.
constexpr bool isShared(int32_t control)
{
    return kModeMap.controls[control].parameter[kChannelA]
           == kModeMap.controls[control].parameter[kChannelB];
}

// The control a parameter is in its modes, or -1 for one no mode remembers.
constexpr int32_t modeControlOf(int32_t parameter)
{
    for (int32_t control = 0; control < kNumModeControls; ++control)
        for (int32_t channel = 0; channel < kNumChannels; ++channel)
            if (kModeMap.controls[control].parameter[channel] == parameter)
                return control;
    return -1;
}

constexpr bool isModeSwitch(int32_t parameter)
{
    for (int32_t modeSwitch : kModeSwitches)
        if (modeSwitch == parameter)
            return true;
    return false;
}

// The position of a mode switch that selects a mode: the other channel's
// mode switch stays at its default, first state.
constexpr float switchValueFor(AmpMode mode, int32_t modeSwitch)
{
    const ModeInfo& info = kModeMap.modes[mode];
    if (modeSwitch == kModeMap.channelSwitch)
        return info.channel == kChannelB ? 1.f : 0.f;
    return modeSwitch == kModeMap.modeSwitch[info.channel] && info.modeSwitchOn ? 1.f : 0.f;
}

constexpr AmpMode modeOf(AmpChannel channel, bool modeSwitchOn)
{
    for (int32_t mode = 0; mode < kNumAmpModes; ++mode)
        if (kModeMap.modes[mode].channel == channel && kModeMap.modes[mode].modeSwitchOn == modeSwitchOn)
            return AmpMode(mode);
    return kModeAClean;
}

// Each channel's own mode and the one that plays.
struct SelectedModes {
    AmpMode channelA, channelB, active;
    constexpr AmpMode own(AmpChannel channel) const { return channel == kChannelA ? channelA : channelB; }
};

// valueOf(parameter) gives a switch's value as it stands.
template <class ValueOf>
constexpr SelectedModes selectedModes(ValueOf valueOf)
{
    SelectedModes modes{};
    modes.channelA = modeOf(kChannelA, switchIsOn(valueOf(kModeMap.modeSwitch[kChannelA])));
    modes.channelB = modeOf(kChannelB, switchIsOn(valueOf(kModeMap.modeSwitch[kChannelB])));
    modes.active = switchIsOn(valueOf(kModeMap.channelSwitch)) ? modes.channelB : modes.channelA;
    return modes;
}

// The mode whose memory holds a parameter under these modes, or -1.
constexpr int32_t rememberingMode(int32_t parameter, const SelectedModes& modes)
{
    const int32_t control = modeControlOf(parameter);
    if (control < 0)
        return -1;
    if (isShared(control))
        return modes.active;
    return modes.own(kModeMap.controls[control].parameter[kChannelA] == parameter ? kChannelA
                                                                                  : kChannelB);
}

// What a switch brings back once it is set: values of one mode's memory,
// in order; none for any other parameter, or for a channel's mode switch
// while the other channel plays.
struct Recall {
    AmpMode mode = kModeAClean;
    int32_t count = 0;
    int32_t parameters[kNumModeControls] = {};
};

constexpr Recall recallFor(int32_t parameter, const SelectedModes& modes)
{
    Recall recall;
    const bool channelSwitch = parameter == kModeMap.channelSwitch;
    if (!channelSwitch && !isModeSwitch(parameter))
        return recall;
    recall.mode = modes.active;
    if (!channelSwitch && kModeMap.modeSwitch[channelOf(modes.active)] != parameter)
        return recall;
    for (int32_t control : kModeMap.recallOrder)
        if (!channelSwitch || isShared(control))
            recall.parameters[recall.count++] = modeParameter(modes.active, control);
    return recall;
}

}  // namespace ka813
