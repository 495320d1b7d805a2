// The decimal formatter behind every parameter display.
#pragma once

#include <cstdint>

namespace ka813 {

// Formats value into at most maxLen characters and a NUL (maxLen + 1 bytes
// at most). Digits are truncated, never rounded; magnitudes beyond the
// eight-character field read "Huge!", a NaN reads "NaN".
void float2string(float value, char* text, int32_t maxLen);

}  // namespace ka813
