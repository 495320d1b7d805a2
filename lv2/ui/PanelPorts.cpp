#include "lv2/ui/PanelPorts.h"

namespace ka813::lv2 {

PanelPorts::PanelPorts()
{
    defaultControls(values);
}

bool PanelPorts::selectsMode(uint32_t port) {
    for (int32_t modeSwitch : kModeSwitches)
        if (port == globalPort(modeSwitch))
            return true;
    return false;
}

uint32_t PanelPorts::portOf(int32_t parameter) const
{
    if (parameter < 0 || parameter >= kNumParameters)
        return 0;  // an audio port: never a control's
    return lv2::portOf(parameter, selectedModes(values));
}

void PanelPorts::setPort(uint32_t index, float value) {
    if (isControlPort(index))
        values[index - kFirstGlobalPort] = value;
}

}  // namespace ka813::lv2
