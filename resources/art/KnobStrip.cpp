#include "Drawing.h"
#include "Strips.h"

#include <algorithm>
#include <cmath>

namespace ka813::panelart {

namespace {

constexpr double kPi = 3.14159265358979323846;

// Spun-aluminium cap: a conic sheen, built from mesh wedges because cairo
// has no conic gradient. The sheen stays put while the knob turns, as the
// room light does.
void drawSpunCap(cairo_t* cr, double cx, double cy, double r) {
    const int wedges = 48;
    auto sheen = [](double a) {
        const double s = std::cos(2 * (a + 0.6));
        return 0.56 + 0.28 * s + 0.06 * std::cos(6 * a);
    };
    cairo_pattern_t* mesh = cairo_pattern_create_mesh();
    for (int i = 0; i < wedges; ++i) {
        const double a0 = 2 * kPi * i / wedges, a1 = 2 * kPi * (i + 1) / wedges;
        const double v0 = sheen(a0), v1 = sheen(a1);
        cairo_mesh_pattern_begin_patch(mesh);
        cairo_mesh_pattern_move_to(mesh, cx, cy);
        cairo_mesh_pattern_line_to(mesh, cx + r * 1.05 * std::cos(a0), cy + r * 1.05 * std::sin(a0));
        cairo_mesh_pattern_line_to(mesh, cx + r * 1.05 * std::cos(a1), cy + r * 1.05 * std::sin(a1));
        cairo_mesh_pattern_line_to(mesh, cx, cy);
        cairo_mesh_pattern_set_corner_color_rgb(mesh, 0, 0.7, 0.7, 0.7);
        cairo_mesh_pattern_set_corner_color_rgb(mesh, 1, v0, v0, v0 * 1.01);
        cairo_mesh_pattern_set_corner_color_rgb(mesh, 2, v1, v1, v1 * 1.01);
        cairo_mesh_pattern_set_corner_color_rgb(mesh, 3, 0.7, 0.7, 0.7);
        cairo_mesh_pattern_end_patch(mesh);
    }
    cairo_set_source(cr, mesh);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(mesh);
    // Bevelled rim.
    cairo_pattern_t* rim = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
    cairo_pattern_add_color_stop_rgba(rim, 0, 1, 1, 1, 0.8);
    cairo_pattern_add_color_stop_rgba(rim, 1, 0, 0, 0, 0.8);
    cairo_set_source(cr, rim);
    cairo_set_line_width(cr, 0.8);
    cairo_arc(cr, cx, cy, r - 0.4, 0, 2 * kPi);
    cairo_stroke(cr);
    cairo_pattern_destroy(rim);
}

// A black bakelite knob with a knurled skirt and a cream pointer line.
void drawKnob(cairo_t* cr, double cx, double cy, double r, double angle) {
    drawRoundShadow(cr, cx, cy, r, 1.4, 0.5, 1.0, 0.85);

    // Skirt with knurled edge; the ribs turn with the knob.
    cairo_pattern_t* body = cairo_pattern_create_linear(cx, cy - r, cx, cy + r);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.24, 0.24, 0.24);
    cairo_pattern_add_color_stop_rgb(body, 0.5, 0.08, 0.08, 0.08);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.03, 0.03, 0.03);
    cairo_set_source(cr, body);
    cairo_arc(cr, cx, cy, r, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(body);

    const int ribs = r > 17 ? 30 : 26;
    cairo_set_line_width(cr, r * 0.06);
    for (int i = 0; i < ribs; ++i) {
        const double a = angle + 2 * kPi * i / ribs;
        const double dx = std::sin(a), dy = -std::cos(a);
        // Ribs facing the light are brighter.
        const double lit = 0.5 + 0.5 * std::cos(a + 0.7);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.05 + 0.22 * lit);
        cairo_move_to(cr, cx + dx * r * 0.80, cy + dy * r * 0.80);
        cairo_line_to(cr, cx + dx * (r - 0.5), cy + dy * (r - 0.5));
        cairo_stroke(cr);
    }

    // Domed top face.
    const double top = r * 0.78;
    cairo_pattern_t* face = cairo_pattern_create_radial(cx - top * 0.3, cy - top * 0.45, top * 0.1,
                                                        cx, cy, top);
    cairo_pattern_add_color_stop_rgb(face, 0, 0.30, 0.30, 0.30);
    cairo_pattern_add_color_stop_rgb(face, 0.6, 0.11, 0.11, 0.11);
    cairo_pattern_add_color_stop_rgb(face, 1, 0.05, 0.05, 0.05);
    cairo_set_source(cr, face);
    cairo_arc(cr, cx, cy, top, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.9);
    cairo_set_line_width(cr, 0.9);
    cairo_arc(cr, cx, cy, top + 0.3, 0, 2 * kPi);
    cairo_stroke(cr);

    drawSpunCap(cr, cx, cy, r * 0.40);

    // Pointer line from the cap to the skirt's edge.
    const double dx = std::sin(angle), dy = -std::cos(angle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // Never thinner than two pixels, or the small knobs' pointers blur away.
    const double width = std::max(2.1, r * 0.11);
    cairo_set_line_width(cr, width + 0.8);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_move_to(cr, cx + dx * r * 0.50 + 0.4, cy + dy * r * 0.50 + 0.6);
    cairo_line_to(cr, cx + dx * r * 0.90 + 0.4, cy + dy * r * 0.90 + 0.6);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.97, 0.94, 0.86);
    cairo_set_line_width(cr, width);
    cairo_move_to(cr, cx + dx * r * 0.50, cy + dy * r * 0.50);
    cairo_line_to(cr, cx + dx * r * 0.90, cy + dy * r * 0.90);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

} // namespace

double knobPointerAngle(double value) {
    // 7 o'clock is 150 degrees before 12, 5 o'clock 150 degrees after.
    return (-150.0 + 300.0 * value) * kPi / 180.0;
}

cairo_surface_t* makeKnobStrip(ka813::PanelImage image, int scale) {
    const ka813::PanelImageShape shape = ka813::panelImageShape(image);
    const int size = shape.width;
    const double r = size * 0.5 - 2.2;
    return makeStrip(size, shape.frameHeight, shape.frames, scale, [&](cairo_t* cr, int frame, double top) {
        const double value = frame / double(shape.frames - 1);
        drawKnob(cr, size * 0.5, top + size * 0.5 - 0.3, r, knobPointerAngle(value));
    });
}

} // namespace ka813::panelart
