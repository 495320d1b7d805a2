#pragma once
// How many of the display's pixels the panel draws for each pixel of its
// layout: 1, or 2 on dense screens.
#include <cstdint>

namespace ka813 {

// `requested` is the KA813_UI_SCALE environment variable (null when unset):
// "1" or "2" decides; anything else is ignored. Otherwise 2 when the X
// server's resources ask for 144 dots per inch or more (Xft.dpi), else 1.
int32_t chooseUiScale(const char* requested, double resourceDpi);

// The same for this process and its display, now.
int32_t uiScale();

}  // namespace ka813
