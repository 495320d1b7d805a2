#include "shell/ParameterTable.h"

#include <cstring>

namespace ka813 {

namespace {

constexpr ParameterKind C = ParameterKind::Continuous;
constexpr ParameterKind S = ParameterKind::Switch;
constexpr ModeMemory Own = ModeMemory::Unshared;
constexpr ModeMemory Active = ModeMemory::ActiveMode;
constexpr ModeMemory A = ModeMemory::ChannelA;
constexpr ModeMemory B = ModeMemory::ChannelB;
using P = ParameterPositions;

// Index order is the order the host enumerates. The record offsets follow
// the stored layout, which groups knobs before switches. A mode memory holds
// Input, Drive, Low, Mid, High, Contour, Volume, Open/Focus, a reserved
// float, Bottom and Bright, in this order.
constexpr ParameterInfo kTable[kNumParameters] = {
    {"Input", C, 0.5f, 24, Active, 0, &P::input, nullptr, nullptr},
    {"Channel", S, 0.f, 96, Own, -1, &P::channel, "A", "B"},
    {"Clean/Crunch", S, 0.f, 92, Own, -1, &P::cleanCrunch, "Clean", "Crunch"},
    {"Low/High Gain", S, 0.f, 88, Own, -1, &P::lowHighGain, "Low Gain", "High Gain"},
    {"CHA Drive", C, 0.5f, 28, A, 1, &P::driveA, nullptr, nullptr},
    {"CHA Low", C, 0.5f, 36, A, 2, &P::lowA, nullptr, nullptr},
    {"CHA Mid", C, 0.5f, 40, A, 3, &P::midA, nullptr, nullptr},
    {"CHA High", C, 0.5f, 44, A, 4, &P::highA, nullptr, nullptr},
    {"CHA Contour", C, 0.5f, 48, A, 5, &P::contourA, nullptr, nullptr},
    {"CHA Open/Focus", S, 0.f, 80, A, 7, &P::focusA, "Open", "Focus"},
    {"CHA Bottom", S, 0.f, 100, A, 9, &P::bottomA, "Off", "On"},
    {"CHA Bright", S, 0.f, 104, A, 10, &P::brightA, "Off", "On"},
    {"CHB Drive", C, 0.5f, 32, B, 1, &P::driveB, nullptr, nullptr},
    {"CHB Low", C, 0.5f, 52, B, 2, &P::lowB, nullptr, nullptr},
    {"CHB Mid", C, 0.5f, 56, B, 3, &P::midB, nullptr, nullptr},
    {"CHB High", C, 0.5f, 60, B, 4, &P::highB, nullptr, nullptr},
    {"CHB Contour", C, 0.5f, 64, B, 5, &P::contourB, nullptr, nullptr},
    {"CHB Open/Focus", S, 0.f, 84, B, 7, &P::focusB, "Open", "Focus"},
    {"CHB Bottom", S, 0.f, 108, B, 9, &P::bottomB, "Off", "On"},
    {"CHB Bright", S, 0.f, 112, B, 10, &P::brightB, "Off", "On"},
    {"Volume", C, 0.5f, 68, Active, 6, &P::volume, nullptr, nullptr},
    {"Mono/Stereo", S, 0.f, 72, Own, -1, &P::stereo, "Mono", "Stereo"},
    {"LowQ/HighQ", S, 0.f, 76, Own, -1, &P::highQuality, "LowQ", "HighQ"},
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

// Both channels' memories have the same layout.
constexpr bool channelsShareMemoryLayout()
{
    for (int32_t i = kParamDriveA; i <= kParamBrightA; ++i) {
        const ParameterInfo& a = kTable[i];
        const ParameterInfo& b = kTable[i + (kParamDriveB - kParamDriveA)];
        if (a.memory != ModeMemory::ChannelA || b.memory != ModeMemory::ChannelB
            || a.memorySlot != b.memorySlot)
            return false;
    }
    return true;
}
static_assert(channelsShareMemoryLayout(), "mode memory slots");

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

}  // namespace ka813
