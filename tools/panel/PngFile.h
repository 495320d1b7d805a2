#pragma once

#include "HostWindow.h"

#include <string>

namespace ka813::paneltool {

// Writes 8-bit RGB pixels as a PNG file; false on any failure.
bool writePng(const Pixels& pixels, const std::string& path);

} // namespace ka813::paneltool
