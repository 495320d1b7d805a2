#include "shell/ParameterTable.h"

#include <cstring>

namespace ka813 {

namespace {

constexpr ParameterKind C = ParameterKind::Continuous;
constexpr ParameterKind S = ParameterKind::Switch;

// Index order is the order the host enumerates. The record offsets follow
// the stored layout, which groups knobs before switches.
constexpr ParameterInfo kTable[kNumParameters] = {
    {"Input", C, 0.5f, 24},
    {"Channel", S, 0.f, 96},
    {"Clean/Crunch", S, 0.f, 92},
    {"Low/High Gain", S, 0.f, 88},
    {"CHA Drive", C, 0.5f, 28},
    {"CHA Low", C, 0.5f, 36},
    {"CHA Mid", C, 0.5f, 40},
    {"CHA High", C, 0.5f, 44},
    {"CHA Contour", C, 0.5f, 48},
    {"CHA Open/Focus", S, 0.f, 80},
    {"CHA Bottom", S, 0.f, 100},
    {"CHA Bright", S, 0.f, 104},
    {"CHB Drive", C, 0.5f, 32},
    {"CHB Low", C, 0.5f, 52},
    {"CHB Mid", C, 0.5f, 56},
    {"CHB High", C, 0.5f, 60},
    {"CHB Contour", C, 0.5f, 64},
    {"CHB Open/Focus", S, 0.f, 84},
    {"CHB Bottom", S, 0.f, 108},
    {"CHB Bright", S, 0.f, 112},
    {"Volume", C, 0.5f, 68},
    {"Mono/Stereo", S, 0.f, 72},
    {"LowQ/HighQ", S, 0.f, 76},
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

}  // namespace

const ParameterInfo* parameterInfo(int32_t index)
{
    if (index < 0 || index >= kNumParameters)
        return nullptr;
    return &kTable[index];
}

}  // namespace ka813
