// The table the build writes from resources.list and the images' bytes.
#pragma once

namespace ka813 {

struct EmbeddedResourceEntry {
    int id;
    const unsigned char* data;
    unsigned long size;
};

extern const EmbeddedResourceEntry kEmbeddedResourceTable[];
extern const int kEmbeddedResourceCount;

}  // namespace ka813
