#pragma once

#include <cairo.h>

#include <string>

namespace ka813::panelart {

// Writes an image surface as an 8-bit RGBA PNG (colour type 6) whatever its
// content, so that every resource has the same layout. Cairo's own writer
// drops the alpha channel of an opaque image.
bool writeRgbaPng(cairo_surface_t* surface, const std::string& path);

} // namespace ka813::panelart
