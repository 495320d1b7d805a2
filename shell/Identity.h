// Who the effect is, as the host sees it.
#pragma once

#include <cstdint>

#include "shell/Vst2Interface.h"

namespace ka813 {

constexpr const char* kEffectName = "Varden_Ka318_v1_1";
constexpr const char* kProductString = "Varden_Ka318_v1_1";
constexpr const char* kVendorString = "Orvex Plugins";
constexpr int32_t kVendorVersion = 1000;
// Bytes in memory order read "SCQL".
constexpr int32_t kUniqueId = 0x4C514353;
constexpr int32_t kRecordVersion = 1;

constexpr int32_t kNumPrograms = 10;
constexpr int32_t kNumInputs = 2;
constexpr int32_t kNumOutputs = 2;

static_assert(kUniqueId == KA813_FOUR_CHARS('L', 'Q', 'C', 'S'), "unique ID");

}  // namespace ka813
