// The one table of the effect's 23 parameters: names, kinds, defaults and
// the place of each value in a stored program record. Displays, editor tags
// and chunk offsets are all taken from here; what the amplifier's modes
// remember is in the mode map beside it (shell/ModeMap.h).
#pragma once

#include <cstdint>

#include "dsp/ParameterMapping.h"

namespace ka813 {

enum ParameterIndex : int32_t {
    kParamInput = 0,
    kParamChannel,
    kParamCleanCrunch,
    kParamLowHighGain,
    kParamDriveA,
    kParamLowA,
    kParamMidA,
    kParamHighA,
    kParamContourA,
    kParamFocusA,
    kParamBottomA,
    kParamBrightA,
    kParamDriveB,
    kParamLowB,
    kParamMidB,
    kParamHighB,
    kParamContourB,
    kParamFocusB,
    kParamBottomB,
    kParamBrightB,
    kParamVolume,
    kParamStereo,
    kParamHighQuality,
    kNumParameters
};

enum class ParameterKind { Continuous, Switch };

struct ParameterInfo {
    const char* name;
    ParameterKind kind;
    float defaultValue;
    int32_t recordOffset;  // byte offset of the value in a program record
    // What the value sets in the model.
    float ParameterPositions::*position;
    // A switch's two states as a host lists them, below 0.5 and from 0.5
    // up; null for a knob.
    const char* offLabel;
    const char* onLabel;
};

// Size of one stored program record and of its name field, in bytes.
constexpr int32_t kProgramRecordSize = 292;
constexpr int32_t kProgramNameSize = 24;

// The table entry of a parameter, or null for an index outside the table.
const ParameterInfo* parameterInfo(int32_t index);

// The model's settings for a full set of parameter values, by index.
ParameterPositions positionsOf(const float (&values)[kNumParameters]);

// Every parameter at its default.
void defaultValues(float (&values)[kNumParameters]);

}  // namespace ka813
