// Who the effect is, in every plug-in format.
#pragma once

#include <cstdint>

namespace ka813 {

constexpr const char* kEffectName = "Varden_Ka318_v1_1";
constexpr const char* kProductString = "Varden_Ka318_v1_1";
constexpr const char* kVendorString = "Orvex Plugins";
constexpr int32_t kVendorVersion = 1000;

constexpr int32_t kNumPrograms = 10;
constexpr int32_t kNumInputs = 2;
constexpr int32_t kNumOutputs = 2;

}  // namespace ka813
