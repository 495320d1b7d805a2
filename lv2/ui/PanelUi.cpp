#include "lv2/ui/PanelUi.h"

#include "editor/CFrame.h"

namespace ka813::lv2 {

PanelUi::PanelUi(const HostLinks& links) : host(links), panel(this) {
    panel.setHostScale(host.scale);
}

PanelUi::~PanelUi() { panel.close(); }

bool PanelUi::open() {
    if (!panel.open(host.parent))
        return false;
    if (host.resize) {
        const VSTGUI::CRect& size = panel.getRect();
        host.resize->ui_resize(host.resize->handle, static_cast<int>(size.right - size.left),
                               static_cast<int>(size.bottom - size.top));
    }
    return true;
}

LV2UI_Widget PanelUi::widget() const {
    const VSTGUI::CFrame* frame = panel.getFrame();
    return frame && frame->getPlatformWindow() ? frame->getPlatformWindow()->nativeHandle()
                                               : nullptr;
}

void PanelUi::portEvent(uint32_t port, float value) {
    // The level outputs: the panel's lights take them up at its next idle.
    if (port == kInputLevelPort || port == kOutputLevelPort) {
        levels[static_cast<int32_t>(port == kInputLevelPort ? PanelMeter::input : PanelMeter::output)] = value;
        return;
    }
    if (!PanelPorts::isControlPort(port))
        return;
    ports.setPort(port, value);
    showPort(port);
}

int PanelUi::idle() {
    panel.idle();
    const VSTGUI::CFrame* frame = panel.getFrame();
    return frame && frame->isOpen() ? 0 : 1;
}

float PanelUi::getParameter(int32_t index) { return ports.valueOf(index); }

float PanelUi::level(PanelMeter meter) {
    const uint32_t index = static_cast<uint32_t>(meter);
    return index < static_cast<uint32_t>(kNumPanelMeters) ? levels[index] : -INFINITY;
}

void PanelUi::setParameterAutomated(int32_t index, float value) {
    const uint32_t port = ports.portOf(index);
    if (!PanelPorts::isControlPort(port))
        return;
    ports.setPort(port, value);
    host.write(host.controller, port, sizeof value, 0, &value);
    showPort(port);
}

void PanelUi::beginEdit(int32_t index) {
    const uint32_t port = ports.portOf(index);
    if (!PanelPorts::isControlPort(port))
        return;
    touchedPorts[index] = port;
    if (host.touch)
        host.touch->touch(host.touch->handle, port, true);
}

void PanelUi::endEdit(int32_t index) {
    if (index < 0 || index >= kNumParameters || touchedPorts[index] == 0)
        return;
    const uint32_t port = touchedPorts[index];
    touchedPorts[index] = 0;
    if (host.touch)
        host.touch->touch(host.touch->handle, port, false);
}

void PanelUi::showPort(uint32_t port) {
    const bool everyControl = PanelPorts::selectsMode(port);
    for (int32_t tag = 0; tag < kNumTags; ++tag)
        if (everyControl || ports.portOf(tag) == port)
            panel.setParameter(tag, 0.f);  // the panel reads the value back itself
}

}  // namespace ka813::lv2
