#include "resources/EmbeddedResources.h"

#include "EmbeddedResourceTable.h"

namespace ka813 {

bool findEmbeddedResource(int id, EmbeddedResource* out) {
    for (int i = 0; i < kEmbeddedResourceCount; ++i) {
        const EmbeddedResourceEntry& e = kEmbeddedResourceTable[i];
        if (e.id == id) {
            if (out) *out = {e.data, e.size};
            return true;
        }
    }
    return false;
}

}  // namespace ka813
