// Draws the panel art into the resources folder.
//
//   ka813-draw-panel <resources dir>              writes the six images, and
//                                                 each again at twice the size
//   ka813-draw-panel --preview <out.png> [dir]    also composes the panel
//                                                 with its controls placed
//
// Run by hand when the art changes; the images it writes are committed and
// embedded at build time. The lettering uses the URW base fonts (Nimbus Sans
// Narrow, Z003) of Debian's fonts-urw-base35.

#include "Background.h"
#include "PngWriter.h"
#include "Strips.h"

#include "editor/PanelLayout.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

using namespace ka813::panelart;
using namespace ka813;

namespace {

// The file each resource number is stored in; resources.list says the same.
const char* const kFiles[kNumPanelImages + 1] = {nullptr, "panel_background", "knob_large",
                                                 "knob_small", "switch_channel", "switch_toggle",
                                                 "level_light"};

std::string fileName(int id, int scale) {
    return std::string(kFiles[id]) + (scale == 2 ? "@2x.png" : ".png");
}

// The value each parameter shows in the preview, by index.
constexpr double kPreviewValues[kNumTags] = {
    0.5,                                   // Input
    0, 1, 0,                               // Channel, Clean/Crunch, Low/High Gain
    0.4, 0.5, 0.6, 0.55, 0.3, 0, 1, 0,     // channel A
    0.7, 0.5, 0.45, 0.6, 0.65, 1, 0, 1,    // channel B
    0.5, 1, 1,                             // Volume, Mono/Stereo, LowQ/HighQ
};

bool save(cairo_surface_t* s, const std::string& path) {
    if (!writeRgbaPng(s, path)) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

void placeFrame(cairo_t* cr, cairo_surface_t* strip, const PanelControl& c) {
    const PanelImageShape sz = panelImageShape(c.image);
    const double value = kPreviewValues[c.tag];
    int frame = 0;
    if (c.kind == ControlKind::knob)
        frame = static_cast<int>(std::lround(value * (sz.frames - 1)));
    else
        frame = value >= 0.5 ? 1 : 0;
    cairo_save(cr);
    cairo_rectangle(cr, c.left, c.top, sz.width, sz.frameHeight);
    cairo_clip(cr);
    cairo_set_source_surface(cr, strip, c.left, c.top - frame * sz.frameHeight);
    cairo_paint(cr);
    cairo_restore(cr);
}

} // namespace

int main(int argc, char** argv) {
    std::string dir, preview;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc)
            preview = argv[++i];
        else if (dir.empty() && argv[i][0] != '-')
            dir = argv[i];
        else {
            std::fprintf(stderr, "usage: %s [--preview out.png] <resources dir>\n", argv[0]);
            return 2;
        }
    }
    if (dir.empty() && preview.empty()) {
        std::fprintf(stderr, "usage: %s [--preview out.png] <resources dir>\n", argv[0]);
        return 2;
    }

    // Every image at the panel's size and at twice that, for dense screens.
    bool ok = true;
    cairo_surface_t* strips[kNumPanelImages + 1] = {};
    for (int scale : {2, 1}) {
        PanelBackground bg = makeBackground(scale);
        for (const std::string& fault : bg.layoutFaults)
            std::fprintf(stderr, "layout at scale %d: %s\n", scale, fault.c_str());
        ok = bg.layoutFaults.empty() && ok;
        cairo_surface_t* made[kNumPanelImages + 1] = {
            nullptr, bg.surface, makeKnobStrip(kLargeKnobImage, scale), makeKnobStrip(kSmallKnobImage, scale),
            makeChannelSwitchStrip(scale), makeToggleStrip(scale), makeLevelLightStrip(scale)};
        for (int id = 1; id <= kNumPanelImages; ++id) {
            if (ok && !dir.empty()) ok = save(made[id], dir + "/" + fileName(id, scale)) && ok;
            // The preview shows the panel at its own size.
            if (scale == 1)
                strips[id] = made[id];
            else
                cairo_surface_destroy(made[id]);
        }
    }

    if (!preview.empty()) {
        cairo_surface_t* panel = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kPanelWidth, kPanelHeight);
        cairo_t* cr = cairo_create(panel);
        cairo_set_source_surface(cr, strips[kBackgroundImage], 0, 0);
        cairo_paint(cr);
        for (const PanelControl& c : kPanelControls) placeFrame(cr, strips[c.image], c);
        // The input light green, the output light amber.
        for (const PanelLight& light : kPanelLights) {
            const PanelRect r = panelRect(light);
            const int frame = light.meter == PanelMeter::input ? 1 : 2;
            cairo_save(cr);
            cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
            cairo_clip(cr);
            cairo_set_source_surface(cr, strips[kLevelLightImage], r.left, r.top - frame * (r.bottom - r.top));
            cairo_paint(cr);
            cairo_restore(cr);
        }
        cairo_destroy(cr);
        ok = save(panel, preview) && ok;
        cairo_surface_destroy(panel);
    }
    for (int id = 1; id <= kNumPanelImages; ++id) cairo_surface_destroy(strips[id]);
    return ok ? 0 : 1;
}
