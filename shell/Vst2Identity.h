// Who the effect is to a VST 2 host, beyond its names.
#pragma once

#include <cstdint>

#include "shell/Identity.h"
#include "shell/Vst2Interface.h"

namespace ka813 {

// Bytes in memory order read "SCQL".
constexpr int32_t kUniqueId = 0x4C514353;
static_assert(kUniqueId == KA813_FOUR_CHARS('L', 'Q', 'C', 'S'), "unique ID");

}  // namespace ka813
