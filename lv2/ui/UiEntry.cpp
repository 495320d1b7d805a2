// The UI binary's one entry: the descriptor of the panel as an X11 UI, and
// the features it takes from the host.
#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstring>
#include <new>

#include "lv2/Ports.h"
#include "lv2/ui/PanelUi.h"

namespace {

using ka813::lv2::HostLinks;
using ka813::lv2::PanelUi;

// The panel draws at 1 or 2 display pixels a layout pixel: a host's factor
// from 1.5 up (the 144 dpi of the panel's own rule) is a dense screen.
int32_t scaleOfFactor(float factor) {
    if (!(factor > 0))
        return 0;
    return factor >= 1.5f ? 2 : 1;
}

// The host's ui:scaleFactor, or 0 when it gives none we can read.
float scaleFactorOf(const LV2_Options_Option* options, const LV2_URID_Map* map) {
    if (!options || !map)
        return 0;
    const LV2_URID key = map->map(map->handle, LV2_UI__scaleFactor);
    const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
    for (const LV2_Options_Option* option = options; option->key || option->value; ++option)
        if (option->key == key && option->type == floatType && option->size == sizeof(float) &&
            option->value)
            return *static_cast<const float*>(option->value);
    return 0;
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!write || !widget || (pluginUri && std::strcmp(pluginUri, ka813::lv2::kPluginUri) != 0))
        return nullptr;
    HostLinks links;
    links.write = write;
    links.controller = controller;
    const LV2_URID_Map* map = nullptr;
    const LV2_Options_Option* options = nullptr;
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        const char* uri = (*f)->URI;
        void* data = (*f)->data;
        if (std::strcmp(uri, LV2_UI__parent) == 0)
            links.parent = data;
        else if (std::strcmp(uri, LV2_UI__touch) == 0)
            links.touch = static_cast<const LV2UI_Touch*>(data);
        else if (std::strcmp(uri, LV2_UI__resize) == 0)
            links.resize = static_cast<const LV2UI_Resize*>(data);
        else if (std::strcmp(uri, LV2_URID__map) == 0)
            map = static_cast<const LV2_URID_Map*>(data);
        else if (std::strcmp(uri, LV2_OPTIONS__options) == 0)
            options = static_cast<const LV2_Options_Option*>(data);
    }
    // The panel is a child window: without the host's window there is nowhere to put it.
    if (!links.parent)
        return nullptr;
    links.scale = scaleOfFactor(scaleFactorOf(options, map));
    PanelUi* ui = new (std::nothrow) PanelUi(links);
    if (!ui || !ui->open()) {
        delete ui;
        return nullptr;
    }
    *widget = ui->widget();
    return ui;
}

void cleanup(LV2UI_Handle handle) { delete static_cast<PanelUi*>(handle); }

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
    // Control ports only: their values come as plain floats.
    if (format != 0 || size != sizeof(float) || !buffer)
        return;
    static_cast<PanelUi*>(handle)->portEvent(port, *static_cast<const float*>(buffer));
}

int idle(LV2UI_Handle handle) { return static_cast<PanelUi*>(handle)->idle(); }

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
    return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &kIdleInterface : nullptr;
}

const LV2UI_Descriptor kDescriptor = {ka813::lv2::kUiUri, instantiate, cleanup, portEvent,
                                      extensionData};

}  // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &kDescriptor : nullptr;
}
