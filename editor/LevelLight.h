// What colour a level light shows for a meter's reading. The meters hold a
// peak for a second before they fall (see dsp/LevelMeter.h), so a single
// red or amber peak stays lit long enough to be seen.
#pragma once

#include <cstdint>

#include "editor/PanelLayout.h"

namespace ka813 {

// In the order of the frames of the light's image strip.
enum class LightColour : int32_t { dark, green, amber, red };

// Below this the light stays dark: a guitar's idle hum and hiss and the
// model's own anti-denormal signal are no signal worth showing.
constexpr float kLightSignalDb = -60.f;
// Hot: the input drives the preamp hard above -12 dBFS; the output leaves
// little headroom above -6 dBFS.
constexpr float kInputHotDb = -12.f;
constexpr float kOutputHotDb = -6.f;
// Full scale: an input there has clipped before it arrived, an output there
// clips wherever it is turned into integers.
constexpr float kLightClipDb = 0.f;

constexpr LightColour lightColour(PanelMeter meter, float levelDb) {
    if (!(levelDb >= kLightSignalDb))  // a NaN too
        return LightColour::dark;
    if (levelDb >= kLightClipDb)
        return LightColour::red;
    if (levelDb > (meter == PanelMeter::input ? kInputHotDb : kOutputHotDb))
        return LightColour::amber;
    return LightColour::green;
}

}  // namespace ka813
