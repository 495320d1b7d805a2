// The control ports as the panel sees them: the values the host last reported
// (or the panel wrote), and which port each of the panel's controls stands
// for under the mode switches as they are now.
#pragma once

#include <cstdint>

#include "lv2/ModeValues.h"

namespace ka813::lv2 {

class PanelPorts {
public:
    // Every port at its default from the parameter table, until the host
    // tells otherwise.
    PanelPorts();

    static bool isControlPort(uint32_t port) {
        return port >= kFirstGlobalPort && port < kFirstGlobalPort + kNumControlPorts;
    }
    // Channel, Clean/Crunch and Low/High Gain: moving one changes which ports
    // the knobs show.
    static bool selectsMode(uint32_t port);

    // The port a parameter's control shows and writes now; 0 (no control
    // port) for an index outside the table.
    uint32_t portOf(int32_t parameter) const;
    float valueOf(int32_t parameter) const { return port(portOf(parameter)); }

    float port(uint32_t index) const {
        return isControlPort(index) ? values[index - kFirstGlobalPort] : 0.f;
    }
    // Ignores anything but a control port.
    void setPort(uint32_t index, float value);

private:
    ControlValues values;
};

}  // namespace ka813::lv2
