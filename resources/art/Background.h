// The 720 x 280 front panel with all its lettering, drawn at a scale of 1 or
// 2 (then 1440 x 560 pixels).
#pragma once

#include <cairo.h>

#include <string>
#include <vector>

namespace ka813::panelart {

struct PanelBackground {
    cairo_surface_t* surface = nullptr;
    // Problems found while placing the lettering (a label under a control,
    // off the panel, or over another label); empty when the art is sound.
    std::vector<std::string> layoutFaults;
};

PanelBackground makeBackground(int scale);

} // namespace ka813::panelart
