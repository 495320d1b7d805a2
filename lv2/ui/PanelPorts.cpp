#include "lv2/ui/PanelPorts.h"

namespace ka813::lv2 {

PanelPorts::PanelPorts()
{
    defaultControls(values);
}

bool PanelPorts::selectsMode(uint32_t port) {
    return port == globalPort(kParamChannel) || port == globalPort(kParamCleanCrunch) ||
           port == globalPort(kParamLowHighGain);
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
