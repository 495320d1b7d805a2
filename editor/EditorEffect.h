#pragma once
// The effect as the panel sees it: the few requests a panel makes of the
// effect it belongs to, by parameter index. The effect's side implements it;
// the panel knows nothing else of the effect or of the host.
#include <cstdint>

#include "editor/PanelLayout.h"

namespace ka813 {

class EditorEffect {
public:
    virtual float getParameter(int32_t index) = 0;
    // Sets a parameter as the user moved it and has the host record the move.
    virtual void setParameterAutomated(int32_t index, float value) = 0;
    // Bracket one user gesture on a parameter for the host.
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // Lets the host do its own work while a control tracks the mouse.
    virtual void masterIdle() = 0;
    // The meter's peak level in dBFS as the effect last measured it, with its
    // hold and fall; read at idle, so it must not wait for the audio.
    virtual float level(PanelMeter meter) = 0;

protected:
    ~EditorEffect() = default;
};

}  // namespace ka813
