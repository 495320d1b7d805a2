// The animated controls' image strips: frames stacked top to bottom, with
// real alpha so the panel shows around them.
#pragma once

#include <cairo.h>

namespace panelart {

// A knob `size` pixels square, 101 frames, pointer from about 7 o'clock
// (frame 0) clockwise to about 5 o'clock (frame 100).
cairo_surface_t* makeKnobStrip(int size);

// Pointer angle in radians, clockwise from 12 o'clock, for a value 0..1.
double knobPointerAngle(double value);

// Two frames: lever down with the lower (channel A) lamp lit, then lever up
// with the upper (channel B) lamp lit.
cairo_surface_t* makeChannelSwitchStrip();

// Two frames: lever down, then lever up.
cairo_surface_t* makeToggleStrip();

} // namespace panelart
