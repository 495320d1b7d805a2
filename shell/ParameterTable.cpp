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

// Index order is the order the host enumerates. The record offsets follow
// the stored layout, which groups knobs before switches. A mode memory holds
// Input, Drive, Low, Mid, High, Contour, Volume, Open/Focus, a reserved
// float, Bottom and Bright, in this order.
constexpr ParameterInfo kTable[kNumParameters] = {
    {"Input", C, 0.5f, 24, Active, 0},
    {"Channel", S, 0.f, 96, Own, -1},
    {"Clean/Crunch", S, 0.f, 92, Own, -1},
    {"Low/High Gain", S, 0.f, 88, Own, -1},
    {"CHA Drive", C, 0.5f, 28, A, 1},
    {"CHA Low", C, 0.5f, 36, A, 2},
    {"CHA Mid", C, 0.5f, 40, A, 3},
    {"CHA High", C, 0.5f, 44, A, 4},
    {"CHA Contour", C, 0.5f, 48, A, 5},
    {"CHA Open/Focus", S, 0.f, 80, A, 7},
    {"CHA Bottom", S, 0.f, 100, A, 9},
    {"CHA Bright", S, 0.f, 104, A, 10},
    {"CHB Drive", C, 0.5f, 32, B, 1},
    {"CHB Low", C, 0.5f, 52, B, 2},
    {"CHB Mid", C, 0.5f, 56, B, 3},
    {"CHB High", C, 0.5f, 60, B, 4},
    {"CHB Contour", C, 0.5f, 64, B, 5},
    {"CHB Open/Focus", S, 0.f, 84, B, 7},
    {"CHB Bottom", S, 0.f, 108, B, 9},
    {"CHB Bright", S, 0.f, 112, B, 10},
    {"Volume", C, 0.5f, 68, Active, 6},
    {"Mono/Stereo", S, 0.f, 72, Own, -1},
    {"LowQ/HighQ", S, 0.f, 76, Own, -1},
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

}  // namespace

const ParameterInfo* parameterInfo(int32_t index)
{
    if (index < 0 || index >= kNumParameters)
        return nullptr;
    return &kTable[index];
}

}  // namespace ka813
