// The panel's PNG images, compiled into the library by resource number
// (with their twice-the-pixels versions). The windowing platform below
// knows nothing of them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace VSTGUI {

// Bytes of the PNG image with the given resource number, drawn at the given
// scale, or false.
bool findPanelImage(int32_t id, const uint8_t** data, size_t* size, int32_t scale = 1);

}  // namespace VSTGUI
