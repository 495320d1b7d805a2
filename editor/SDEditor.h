#pragma once
// The amplifier's front panel: a background picture with one knob or switch
// per parameter, each tagged with its parameter index.
#include <atomic>

#include "editor/AEffGUIEditor.h"
#include "editor/CControl.h"
#include "editor/PanelLayout.h"

namespace VSTGUI {
class CBitmap;
class CLight;
}

namespace ka813 {

class SDEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
public:
    explicit SDEditor(EditorEffect* effect);
    ~SDEditor() override;

    // The panel's size in the display's pixels: at the scale it is open at,
    // or, while closed, at the scale it would open at now.
    const VSTGUI::CRect& getRect() override;
    // Picks the scale (see UiScale.h) and builds the panel at it.
    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    bool setKnobMode(int mode) override;
    void setParameter(int index, float value) override;
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

    // The control showing a parameter while the panel is open, else null.
    VSTGUI::CControl* controlForTag(int32_t tag) const;
    // The light showing a meter while the panel is open, else null.
    VSTGUI::CLight* lightFor(ka813::PanelMeter meter) const;
    // A scale the host decided (1 or 2), used from the next open on instead
    // of the panel's own rule; 0 gives the rule back.
    void setHostScale(int32_t hostScale);

private:
    VSTGUI::CControl* controls[kNumTags] = {};
    VSTGUI::CLight* lights[kNumPanelMeters] = {};
    // Each light in the colour of its meter's level now.
    void showLevels();
    VSTGUI::CBitmap* hBackground = nullptr;  // at the plain scale: the layout's size
    int32_t scale = 1;
    int32_t hostScale = 0;
    int32_t scaleToOpenAt() const;

    // The effect may tell us of changes from any thread (host automation),
    // while this thread draws the controls: a change only marks its tag, and
    // the next idle, here, shows the effect's value.
    std::atomic<uint32_t> changedTags{0};
    static_assert(ka813::kNumTags <= 32, "one bit per tag");
};

}  // namespace ka813
