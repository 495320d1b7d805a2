// The front panel as an LV2 UI: the panel sees an effect whose parameters are
// the ports its controls stand for under the mode switches, reads them from
// what the host reported and writes them back through the host.
#pragma once

#include <lv2/ui/ui.h>

#include <cmath>
#include <cstdint>

#include "editor/EditorEffect.h"
#include "editor/SDEditor.h"
#include "lv2/ui/PanelPorts.h"

namespace ka813::lv2 {

// What the host gave the UI; the optional features are null when not offered.
struct HostLinks {
    LV2UI_Write_Function write = nullptr;
    LV2UI_Controller controller = nullptr;
    void* parent = nullptr;  // the host's X11 window
    const LV2UI_Touch* touch = nullptr;
    const LV2UI_Resize* resize = nullptr;
    int32_t scale = 0;  // 1 or 2 from the host's scale factor, 0 for the panel's own rule
};

class PanelUi final : public EditorEffect {
public:
    explicit PanelUi(const HostLinks& links);
    ~PanelUi();
    PanelUi(const PanelUi&) = delete;
    PanelUi& operator=(const PanelUi&) = delete;

    // Opens the panel in the host's window and tells the host its size;
    // false when no window could be made there.
    bool open();
    // The panel's own X11 window.
    LV2UI_Widget widget() const;
    void portEvent(uint32_t port, float value);
    // Serves the window's events and redraws what changed; answers 1 once the
    // window is gone (the host destroyed its parent), else 0.
    int idle();

    // What the panel asks, by parameter index.
    float getParameter(int32_t index) override;
    void setParameterAutomated(int32_t index, float value) override;
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    // An LV2 host cannot be idled from inside the UI: nothing to do.
    void masterIdle() override {}
    // What the host last reported of the plug-in's level outputs.
    float level(PanelMeter meter) override;

private:
    // Has every control that shows the port read it again at the next idle.
    void showPort(uint32_t port);

    HostLinks host;
    PanelPorts ports;
    // The port each gesture in progress holds, so that its end reaches the
    // port its start did.
    uint32_t touchedPorts[kNumParameters] = {};
    // By meter; nothing reported yet reads as silence.
    float levels[kNumPanelMeters] = {-INFINITY, -INFINITY};
    SDEditor panel;
};

}  // namespace ka813::lv2
