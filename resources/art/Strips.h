// The animated controls' image strips: frames stacked top to bottom, with
// real alpha so the panel shows around them; drawn at a scale of 1 or 2.
#pragma once

#include "editor/PanelLayout.h"

#include <cairo.h>

namespace ka813::panelart {

// One of the knob images: square frames, the pointer turning from about
// 7 o'clock (first frame) clockwise to about 5 o'clock (last frame).
cairo_surface_t* makeKnobStrip(ka813::PanelImage image, int scale);

// Pointer angle in radians, clockwise from 12 o'clock, for a value 0..1.
double knobPointerAngle(double value);

// Two frames: lever down with the lower (channel A) lamp lit, then lever up
// with the upper (channel B) lamp lit.
cairo_surface_t* makeChannelSwitchStrip(int scale);

// Two frames: lever down, then lever up.
cairo_surface_t* makeToggleStrip(int scale);

// Four frames of one small jewel lamp: dark, then lit green, amber and red.
cairo_surface_t* makeLevelLightStrip(int scale);

} // namespace ka813::panelart
