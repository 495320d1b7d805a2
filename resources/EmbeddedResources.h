// The panel images, compiled into the library so that it needs no files at
// run time. Numbered as in resources.list.
#pragma once

namespace ka813 {

struct EmbeddedResource {
    const unsigned char* data;
    unsigned long size;
};

// Finds resource `id`; false, leaving `out` untouched, when there is none.
bool findEmbeddedResource(int id, EmbeddedResource* out);

// The number of an image drawn at twice the size: 100 above the image's own.
// There are no other sizes; for any other scale the answer is 0, which
// names no resource.
constexpr int kDoubleSizeResourceOffset = 100;
constexpr int resourceAtScale(int id, int scale) {
    return scale == 1 ? id : scale == 2 ? id + kDoubleSizeResourceOffset : 0;
}

}  // namespace ka813
