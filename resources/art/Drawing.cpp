#include "Drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace ka813::panelart {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr const char* kLabelFont = "Nimbus Sans Narrow";

// Writes grey levels (0..1, per channel) into an opaque image surface.
cairo_surface_t* surfaceFromRgb(int w, int h, const std::vector<Rgb>& px) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    auto to8 = [](double v) {
        return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255.0));
    };
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const Rgb& c = px[static_cast<size_t>(y) * w + x];
            row[x] = 0xff000000u | (to8(c.r) << 16) | (to8(c.g) << 8) | to8(c.b);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

std::vector<double> noise(int w, int h, Rng& rng) {
    std::vector<double> n(static_cast<size_t>(w) * h);
    for (double& v : n) v = rng.next();
    return n;
}

// Box blur with wrap-around, separately along x and y.
void boxBlur(std::vector<double>& v, int w, int h, int rx, int ry) {
    std::vector<double> tmp(v.size());
    if (rx > 0) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int k = -rx; k <= rx; ++k) sum += v[static_cast<size_t>(y) * w + (x + k + w) % w];
                tmp[static_cast<size_t>(y) * w + x] = sum / (2 * rx + 1);
            }
        v.swap(tmp);
    }
    if (ry > 0) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int k = -ry; k <= ry; ++k) sum += v[static_cast<size_t>((y + k + h) % h) * w + x];
                tmp[static_cast<size_t>(y) * w + x] = sum / (2 * ry + 1);
            }
        v.swap(tmp);
    }
}

} // namespace

void setColour(cairo_t* cr, Rgb c, double alpha) {
    cairo_set_source_rgba(cr, c.r, c.g, c.b, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -kPi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, kPi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, kPi / 2, kPi);
    cairo_arc(cr, x + radius, y + radius, radius, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

cairo_surface_t* makeTolex(int w, int h, uint32_t seed) {
    // Pebbled vinyl: blurred noise for the grain, lit from the upper left by
    // differencing it against its lower-right neighbour.
    Rng rng(seed);
    std::vector<double> grain = noise(w, h, rng);
    boxBlur(grain, w, h, 1, 1);
    boxBlur(grain, w, h, 1, 1);
    std::vector<Rgb> px(grain.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double g = grain[static_cast<size_t>(y) * w + x];
            const double g2 = grain[static_cast<size_t>((y + 1) % h) * w + (x + 1) % w];
            const double v = 0.08 + 0.55 * (g - g2) + 0.05 * (g - 0.5);
            px[static_cast<size_t>(y) * w + x] = {v * 1.04, v * 1.0, v * 0.96};
        }
    return surfaceFromRgb(w, h, px);
}

cairo_surface_t* makeBrushedMetal(int w, int h, Rgb base, double streakDepth, uint32_t seed) {
    // Long horizontal streaks from noise smeared along x, plus a fine grain.
    Rng rng(seed);
    std::vector<double> streak = noise(w, h, rng);
    boxBlur(streak, w, h, 40, 0);
    boxBlur(streak, w, h, 12, 0);
    std::vector<double> fine = noise(w, h, rng);
    std::vector<Rgb> px(streak.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * w + x;
            const double d = streakDepth * (streak[i] - 0.5) * 6.0 + 0.012 * (fine[i] - 0.5);
            px[i] = {base.r + d, base.g + d, base.b + d};
        }
    return surfaceFromRgb(w, h, px);
}

cairo_surface_t* makeGrilleCloth(int w, int h, uint32_t seed) {
    // A plain weave of 3-pixel threads; every fourth warp and weft thread is
    // a lighter fleck yarn, which gives the cloth its faint check.
    Rng rng(seed);
    std::vector<double> slub = noise(w, h, rng);
    boxBlur(slub, w, h, 6, 0);
    std::vector<double> fine = noise(w, h, rng);
    const double profile[3] = {0.55, 1.0, 0.7};
    std::vector<Rgb> px(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int col = x / 3, row = y / 3;
            const bool weftOnTop = ((col + row) & 1) == 0;
            const int thread = weftOnTop ? row : col;
            const double shade = weftOnTop ? profile[y % 3] : profile[x % 3];
            const bool fleck = thread % 4 == 1;
            const size_t i = static_cast<size_t>(y) * w + x;
            const double v = (fleck ? 0.20 : 0.115) * shade + 0.02 * (slub[i] - 0.5) + 0.015 * (fine[i] - 0.5);
            px[i] = fleck ? Rgb{v * 1.05, v * 1.0, v * 0.9} : Rgb{v * 1.0, v * 0.96, v * 0.93};
        }
    return surfaceFromRgb(w, h, px);
}

cairo_surface_t* makeStrip(int width, int frameHeight, int frames, int scale,
                           const std::function<void(cairo_t*, int frame, double top)>& drawFrame) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * scale,
                                                    frameHeight * frames * scale);
    cairo_t* cr = cairo_create(s);
    cairo_scale(cr, scale, scale);
    for (int f = 0; f < frames; ++f) {
        cairo_save(cr);
        cairo_rectangle(cr, 0, frameHeight * f, width, frameHeight);
        cairo_clip(cr);
        drawFrame(cr, f, frameHeight * f);
        cairo_restore(cr);
    }
    cairo_destroy(cr);
    return s;
}

void drawRoundShadow(cairo_t* cr, double cx, double cy, double radius, double spread,
                     double dx, double dy, double alpha) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx + dx, cy + dy, radius * 0.6,
                                                     cx + dx, cy + dy, radius + spread);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, alpha);
    cairo_pattern_add_color_stop_rgba(p, (radius - radius * 0.6) / (radius * 0.4 + spread), 0, 0, 0, alpha);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
    cairo_set_source(cr, p);
    cairo_arc(cr, cx + dx, cy + dy, radius + spread, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void drawScrew(cairo_t* cr, double cx, double cy, double radius, double slotAngle) {
    drawRoundShadow(cr, cx, cy, radius, 1.5, 0.6, 0.9, 0.7);
    cairo_pattern_t* head = cairo_pattern_create_radial(cx - radius * 0.4, cy - radius * 0.5, radius * 0.1,
                                                        cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(head, 0, 0.95, 0.95, 0.93);
    cairo_pattern_add_color_stop_rgb(head, 0.5, 0.62, 0.62, 0.62);
    cairo_pattern_add_color_stop_rgb(head, 1, 0.30, 0.30, 0.31);
    cairo_set_source(cr, head);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    // Cross recess, a dark cut with a lit lower edge.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, slotAngle);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < 2; ++i) {
        cairo_rotate(cr, kPi / 2 * i);
        cairo_set_line_width(cr, radius * 0.32);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
        cairo_move_to(cr, -radius * 0.6, 0.4);
        cairo_line_to(cr, radius * 0.6, 0.4);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.12, 0.12, 0.13);
        cairo_move_to(cr, -radius * 0.6, 0);
        cairo_line_to(cr, radius * 0.6, 0);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void drawLamp(cairo_t* cr, double cx, double cy, double radius, Rgb glass, bool lit) {
    // Chrome bezel.
    drawRoundShadow(cr, cx, cy, radius, 1.2, 0.5, 0.8, 0.8);
    cairo_pattern_t* bezel = cairo_pattern_create_linear(cx, cy - radius, cx, cy + radius);
    cairo_pattern_add_color_stop_rgb(bezel, 0, 0.92, 0.92, 0.92);
    cairo_pattern_add_color_stop_rgb(bezel, 0.45, 0.45, 0.45, 0.46);
    cairo_pattern_add_color_stop_rgb(bezel, 1, 0.80, 0.80, 0.80);
    cairo_set_source(cr, bezel);
    cairo_arc(cr, cx, cy, radius, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(bezel);

    const double g = radius * 0.72;
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.05);
    cairo_arc(cr, cx, cy, g + 0.7, 0, 2 * kPi);
    cairo_fill(cr);

    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, g);
    if (lit) {
        cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.97, 0.85);
        cairo_pattern_add_color_stop_rgb(p, 0.35, std::min(1.0, glass.r * 1.2 + 0.2),
                                         std::min(1.0, glass.g * 1.2 + 0.2), std::min(1.0, glass.b * 1.2 + 0.2));
        cairo_pattern_add_color_stop_rgb(p, 1, glass.r * 0.75, glass.g * 0.75, glass.b * 0.75);
    } else {
        cairo_pattern_add_color_stop_rgb(p, 0, glass.r * 0.38, glass.g * 0.38, glass.b * 0.38);
        cairo_pattern_add_color_stop_rgb(p, 1, glass.r * 0.14, glass.g * 0.14, glass.b * 0.14);
    }
    cairo_set_source(cr, p);
    cairo_arc(cr, cx, cy, g, 0, 2 * kPi);
    cairo_fill(cr);
    cairo_pattern_destroy(p);

    // Facets of the jewel catch the room light whether lit or not.
    cairo_set_source_rgba(cr, 1, 1, 1, lit ? 0.55 : 0.4);
    cairo_arc(cr, cx - g * 0.35, cy - g * 0.38, g * 0.28, 0, 2 * kPi);
    cairo_fill(cr);
}

static void selectLabelFont(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, kLabelFont, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

static double alignedX(const cairo_text_extents_t& e, double x, Align align) {
    switch (align) {
    case Align::left: return x - e.x_bearing;
    case Align::centre: return x - e.x_bearing - e.width / 2;
    case Align::right: return x - e.x_bearing - e.width;
    }
    return x;
}

Box measureLabel(cairo_t* cr, const char* text, double x, double baseline, double size,
                 Align align, bool bold) {
    selectLabelFont(cr, size, bold);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    const double ox = alignedX(e, x, align);
    return {ox + e.x_bearing, baseline + e.y_bearing, ox + e.x_bearing + e.width,
            baseline + e.y_bearing + e.height};
}

Box drawLabel(cairo_t* cr, const char* text, double x, double baseline, double size,
              Align align, Rgb colour, bool bold) {
    selectLabelFont(cr, size, bold);
    cairo_text_extents_t e;
    cairo_text_extents(cr, text, &e);
    const double ox = alignedX(e, x, align);
    // Screen-printed ink stands a hair proud of the plate: a faint shadow.
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_move_to(cr, ox + 0.5, baseline + 0.7);
    cairo_show_text(cr, text);
    setColour(cr, colour);
    cairo_move_to(cr, ox, baseline);
    cairo_show_text(cr, text);
    // The shadow widens the ink by under a pixel; count it.
    return {ox + e.x_bearing, baseline + e.y_bearing, ox + e.x_bearing + e.width + 1,
            baseline + e.y_bearing + e.height + 1};
}

} // namespace ka813::panelart
