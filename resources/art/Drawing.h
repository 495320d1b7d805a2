// Small drawing helpers shared by the panel, knob and switch painters:
// surface textures, metal parts and panel lettering.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>

namespace ka813::panelart {

struct Rgb {
    double r, g, b;
};

// The same art on every run: textures draw from a fixed-seed generator.
class Rng {
public:
    explicit Rng(uint32_t seed) : state_(seed ? seed : 1u) {}
    // Uniform in [0, 1).
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ & 0xffffffu) / 16777216.0;
    }

private:
    uint32_t state_;
};

struct Box {
    double left, top, right, bottom;
    bool overlaps(const Box& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
};

void setColour(cairo_t* cr, Rgb c, double alpha = 1.0);
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

// Opaque textures, w x h, ready to be used as a source.
cairo_surface_t* makeTolex(int w, int h, uint32_t seed);
cairo_surface_t* makeBrushedMetal(int w, int h, Rgb base, double streakDepth, uint32_t seed);
cairo_surface_t* makeGrilleCloth(int w, int h, uint32_t seed);

// An image strip: `frames` frames of width x frameHeight stacked top to
// bottom, each drawn by `drawFrame` (given the frame's number and its top)
// clipped to its own cell. At a scale of 2 the image has twice the pixels
// each way; the drawing still works in the strip's own units.
cairo_surface_t* makeStrip(int width, int frameHeight, int frames, int scale,
                           const std::function<void(cairo_t*, int frame, double top)>& drawFrame);

void drawScrew(cairo_t* cr, double cx, double cy, double radius, double slotAngle);

// A soft dark halo under round parts; stays inside `radius + spread`.
void drawRoundShadow(cairo_t* cr, double cx, double cy, double radius, double spread,
                     double dx, double dy, double alpha);

// A lit or dark jewel lamp with its chrome bezel.
void drawLamp(cairo_t* cr, double cx, double cy, double radius, Rgb glass, bool lit);

// Panel lettering. The box returned is the ink extent on the panel.
enum class Align { left, centre, right };
Box drawLabel(cairo_t* cr, const char* text, double x, double baseline, double size,
              Align align, Rgb colour, bool bold = true);
Box measureLabel(cairo_t* cr, const char* text, double x, double baseline, double size,
                 Align align, bool bold = true);

} // namespace ka813::panelart
