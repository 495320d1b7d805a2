#pragma once
// Which of a control's images a window shows: the panel's resources decoded
// as the panel decodes them, matched against the pixels over the control.
#include <cstdint>
#include <vector>

#include "editor/PanelLayout.h"
// After the layout: Xlib's macros would clash with its names.
#include "XTestSupport.h"

namespace ka813::paneltest {

// Decoded resources, to tell which image a control shows.
struct Picture {
    int width = 0, height = 0;  // the image's own pixels
    std::vector<uint8_t> bgra;  // premultiplied, as the panel draws them
    const uint8_t* at(int x, int y) const { return &bgra[4 * (static_cast<size_t>(y) * width + x)]; }
};
const Picture& resourcePicture(int id, int scale = 1);

// The image (0..100 for knobs, 0 or 1 for switches) that best explains what
// the window shows over the control tagged `tag`, at the panel's scale, and
// how well it does; -1 when nothing could be read.
int shownImage(TestDisplay& display, ::Window window, int tag, int scale = 1,
               double* meanError = nullptr);

// The same for a level light, by meter: 0 dark, 1 green, 2 amber, 3 red.
int shownLight(TestDisplay& display, ::Window window, ka813::PanelMeter meter, int scale = 1,
               double* meanError = nullptr);

}  // namespace ka813::paneltest
