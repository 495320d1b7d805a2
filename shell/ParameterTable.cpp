#include "shell/ParameterTable.h"

#include <cstring>

namespace ka813 {

namespace {

constexpr ParameterKind C = ParameterKind::Continuous;
constexpr ParameterKind S = ParameterKind::Switch;
using P = ParameterPositions;

// Index order is the order the host enumerates. The record offsets follow
// the stored layout, which groups knobs before switches.
constexpr ParameterInfo kTable[kNumParameters] = {
    {"Input", C, 0.5f, 24, &P::input, nullptr, nullptr},
    {"Channel", S, 0.f, 96, &P::channel, "A", "B"},
    {"Clean/Crunch", S, 0.f, 92, &P::cleanCrunch, "Clean", "Crunch"},
    {"Low/High Gain", S, 0.f, 88, &P::lowHighGain, "Low Gain", "High Gain"},
    {"CHA Drive", C, 0.5f, 28, &P::driveA, nullptr, nullptr},
    {"CHA Low", C, 0.5f, 36, &P::lowA, nullptr, nullptr},
    {"CHA Mid", C, 0.5f, 40, &P::midA, nullptr, nullptr},
    {"CHA High", C, 0.5f, 44, &P::highA, nullptr, nullptr},
    {"CHA Contour", C, 0.5f, 48, &P::contourA, nullptr, nullptr},
    {"CHA Open/Focus", S, 0.f, 80, &P::focusA, "Open", "Focus"},
    {"CHA Bottom", S, 0.f, 100, &P::bottomA, "Off", "On"},
    {"CHA Bright", S, 0.f, 104, &P::brightA, "Off", "On"},
    {"CHB Drive", C, 0.5f, 32, &P::driveB, nullptr, nullptr},
    {"CHB Low", C, 0.5f, 52, &P::lowB, nullptr, nullptr},
    {"CHB Mid", C, 0.5f, 56, &P::midB, nullptr, nullptr},
    {"CHB High", C, 0.5f, 60, &P::highB, nullptr, nullptr},
    {"CHB Contour", C, 0.5f, 64, &P::contourB, nullptr, nullptr},
    {"CHB Open/Focus", S, 0.f, 84, &P::focusB, "Open", "Focus"},
    {"CHB Bottom", S, 0.f, 108, &P::bottomB, "Off", "On"},
    {"CHB Bright", S, 0.f, 112, &P::brightB, "Off", "On"},
    {"Volume", C, 0.5f, 68, &P::volume, nullptr, nullptr},
    {"Mono/Stereo", S, 0.f, 72, &P::stereo, "Mono", "Stereo"},
    {"LowQ/HighQ", S, 0.f, 76, &P::highQuality, "LowQ", "HighQ"},
};

// Every value has its own 4-byte slot between the name and the mode memories.
constexpr bool offsetsAreDistinctSlots()
{
    bool used[kNumParameters] = {};
    for (const ParameterInfo& info : kTable) {
        int32_t slot = (info.recordOffset - kProgramNameSize) / 4;
        if (info.recordOffset % 4 != 0 || slot < 0 || slot >= kNumParameters || used[slot])
            return false;
        used[slot] = true;
    }
    return true;
}
static_assert(offsetsAreDistinctSlots(), "parameter record offsets");

// Every switch names its two states; no knob does.
constexpr bool switchesAreLabelled()
{
    for (const ParameterInfo& info : kTable)
        if ((info.kind == ParameterKind::Switch) != (info.offLabel != nullptr && info.onLabel != nullptr))
            return false;
    return true;
}
static_assert(switchesAreLabelled(), "switch labels");

// Each parameter sets a model position of its own.
constexpr bool positionsAreDistinct()
{
    for (int32_t i = 0; i < kNumParameters; ++i)
        for (int32_t j = i + 1; j < kNumParameters; ++j)
            if (kTable[i].position == kTable[j].position)
                return false;
    return true;
}
static_assert(positionsAreDistinct(), "parameter positions");

}  // namespace

const ParameterInfo* parameterInfo(int32_t index)
{
    if (index < 0 || index >= kNumParameters)
        return nullptr;
    return &kTable[index];
}

ParameterPositions positionsOf(const float (&values)[kNumParameters])
{
    ParameterPositions positions;
    for (int32_t index = 0; index < kNumParameters; ++index)
        positions.*kTable[index].position = values[index];
    return positions;
}

void defaultValues(float (&values)[kNumParameters])
{
    for (int32_t index = 0; index < kNumParameters; ++index)
        values[index] = kTable[index].defaultValue;
}

}  // namespace ka813
