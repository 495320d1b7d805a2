#include "editor/PanelImages.h"

#include "resources/EmbeddedResources.h"

namespace VSTGUI {

bool findPanelImage(int32_t id, const uint8_t** data, size_t* size, int32_t scale) {
    ka813::EmbeddedResource resource{};
    if (!ka813::findEmbeddedResource(ka813::resourceAtScale(id, scale), &resource) || !resource.data ||
        resource.size == 0)
        return false;
    *data = resource.data;
    *size = static_cast<size_t>(resource.size);
    return true;
}

}  // namespace VSTGUI
