#include "Drawing.h"
#include "Strips.h"

#include <cmath>

namespace ka813::panelart {

namespace {

constexpr double kPi = 3.14159265358979323846;

void chromeAcross(cairo_pattern_t* p) {
    cairo_pattern_add_color_stop_rgb(p, 0, 0.35, 0.35, 0.36);
    cairo_pattern_add_color_stop_rgb(p, 0.3, 0.97, 0.97, 0.97);
    cairo_pattern_add_color_stop_rgb(p, 0.55, 0.62, 0.62, 0.63);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.25, 0.25, 0.26);
}

// Hex nut and threaded bushing of a panel-mount toggle, seen from the front.
void drawBushing(cairo_t* cr, double cx, double cy, double nutRadius) {
    drawRoundShadow(cr, cx, cy, nutRadius, 1.5, 0.6, 1.0, 0.8);
    cairo_new_path(cr);
    for (int i = 0; i < 6; ++i) {
        const double a = kPi / 6 + kPi / 3 * i;
        cairo_line_to(cr, cx + nutRadius * std::cos(a), cy + nutRadius * std::sin(a));
    }
    cairo_close_path(cr);
    cairo_pattern_t* nut = cairo_pattern_create_linear(cx - nutRadius, cy - nutRadius, cx + nutRadius, cy + nutRadius);
    cairo_pattern_add_color_stop_rgb(nut, 0, 0.88, 0.88, 0.88);
    cairo_pattern_add_color_stop_rgb(nut, 0.5, 0.55, 0.55, 0.56);
    cairo_pattern_add_color_stop_rgb(nut, 1, 0.30, 0.30, 0.31);
    cairo_set_source(cr, nut);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(nut);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);

    const double b = nutRadius * 0.62;
    cairo_pattern_t* bush = cairo_pattern_create_radial(cx - b * 0.3, cy - b * 0.3, b * 0.1, cx, cy, b);
    cairo_pattern_add_color_stop_rgb(bush, 0, 0.92, 0.92, 0.92);
    cairo_pattern_add_color_stop_rgb(bush, 1, 0.40, 0.40, 0.41);
    cairo_set_source(cr, bush);
    cairo_arc(cr, cx, cy, b, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(bush);
    // Thread grooves.
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_set_line_width(cr, 0.5);
    cairo_arc(cr, cx, cy, b * 0.78, 0, 2 * kPi);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.08);
    cairo_arc(cr, cx, cy, b * 0.45, 0, 2 * kPi);
    cairo_fill(cr);
}

// A chrome bat lever leaning up (direction -1) or down (+1) from the bushing.
void drawLever(cairo_t* cr, double cx, double cy, double length, double tipWidth, int direction) {
    const double tipY = cy + direction * length;
    const double baseW = tipWidth * 0.55;
    // Shadow on the panel, cast down and to the right.
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, tipWidth * 0.9);
    cairo_move_to(cr, cx + 1.2, cy + 1.5);
    cairo_line_to(cr, cx + 1.2 + length * 0.12, tipY + 1.5 + (direction > 0 ? 1.0 : 0.0));
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);

    // Tapered shaft.
    cairo_new_path(cr);
    cairo_move_to(cr, cx - baseW / 2, cy);
    cairo_line_to(cr, cx - tipWidth / 2, tipY);
    cairo_line_to(cr, cx + tipWidth / 2, tipY);
    cairo_line_to(cr, cx + baseW / 2, cy);
    cairo_close_path(cr);
    cairo_pattern_t* shaft = cairo_pattern_create_linear(cx - tipWidth / 2, 0, cx + tipWidth / 2, 0);
    chromeAcross(shaft);
    cairo_set_source(cr, shaft);
    cairo_fill(cr);
    cairo_pattern_destroy(shaft);

    // Rounded end, seen slightly from above when up, from below when down.
    cairo_save(cr);
    cairo_translate(cr, cx, tipY);
    cairo_scale(cr, tipWidth / 2, tipWidth / 2 * 0.75);
    cairo_arc(cr, 0, 0, 1, 0, 2 * kPi);
    cairo_restore(cr);
    cairo_pattern_t* end = cairo_pattern_create_radial(cx - tipWidth * 0.15, tipY - tipWidth * 0.15 * direction,
                                                       0, cx, tipY, tipWidth / 2);
    cairo_pattern_add_color_stop_rgb(end, 0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(end, 0.6, 0.7, 0.7, 0.71);
    cairo_pattern_add_color_stop_rgb(end, 1, 0.35, 0.35, 0.36);
    cairo_set_source(cr, end);
    cairo_fill(cr);
    cairo_pattern_destroy(end);
}

void drawToggle(cairo_t* cr, double cx, double cy, double nutRadius, double leverLength,
                double tipWidth, bool up) {
    drawBushing(cr, cx, cy, nutRadius);
    drawLever(cr, cx, cy, leverLength, tipWidth, up ? -1 : 1);
}

} // namespace

cairo_surface_t* makeToggleStrip(int scale) {
    const ka813::PanelImageShape sz = ka813::panelImageShape(ka813::kToggleImage);
    return makeStrip(sz.width, sz.frameHeight, sz.frames, scale, [&](cairo_t* cr, int frame, double top) {
        drawToggle(cr, sz.width * 0.5, top + sz.frameHeight * 0.5, 7.5, 13.0, 4.6, frame == 1);
    });
}

namespace {

constexpr Rgb kRedLamp{0.95, 0.16, 0.08};
constexpr Rgb kGreenLamp{0.22, 0.88, 0.25};
constexpr Rgb kAmberLamp{1.0, 0.58, 0.04};
// An unlit lamp of no colour of its own, so that dark says only "silence".
constexpr Rgb kClearLamp{0.62, 0.62, 0.58};

} // namespace

cairo_surface_t* makeChannelSwitchStrip(int scale) {
    const ka813::PanelImageShape sz = ka813::panelImageShape(ka813::kChannelSwitchImage);
    const Rgb channelBLamp = kRedLamp;
    const Rgb channelALamp = kGreenLamp;
    return makeStrip(sz.width, sz.frameHeight, sz.frames, scale, [&](cairo_t* cr, int frame, double top) {
        const bool up = frame == 1;
        drawLamp(cr, 42, top + 14, 7.5, channelBLamp, up);
        drawLamp(cr, 42, top + 53, 7.5, channelALamp, !up);
        drawToggle(cr, 19, top + sz.frameHeight * 0.5, 10.5, 20.0, 6.2, up);
    });
}

cairo_surface_t* makeLevelLightStrip(int scale) {
    const PanelImageShape sz = panelImageShape(kLevelLightImage);
    // In the order of the frames; the same jewels as the channel lamps, smaller.
    const Rgb glass[kLightFrames] = {kClearLamp, kGreenLamp, kAmberLamp, kRedLamp};
    return makeStrip(sz.width, sz.frameHeight, sz.frames, scale, [&](cairo_t* cr, int frame, double top) {
        drawLamp(cr, sz.width * 0.5, top + sz.frameHeight * 0.5, 5.5, glass[frame], frame != 0);
    });
}

} // namespace ka813::panelart
