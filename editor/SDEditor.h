#pragma once
// The amplifier's front panel: a background picture with one knob or switch
// per parameter, each tagged with its parameter index.
#include <atomic>
#include <mutex>

#include "editor/AEffGUIEditor.h"
#include "editor/CControl.h"
#include "editor/PanelLayout.h"

namespace VSTGUI {
class CBitmap;
}

class SDEditor : public AEffGUIEditor, public VSTGUI::CControlListener {
public:
    explicit SDEditor(EditorEffect* effect);
    ~SDEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    void idle() override;
    bool setKnobMode(int mode) override;
    void setParameter(int index, float value) override;
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;

    // The control showing a parameter while the panel is open, else null.
    VSTGUI::CControl* controlForTag(int32_t tag) const;

private:
    VSTGUI::CControl* controls[ka813::kNumTags] = {};
    VSTGUI::CBitmap* hBackground = nullptr;

    // The effect may tell us of changes from any thread (host automation):
    // the short store into a control is guarded against open and close, and a
    // change that cannot wait for the guard is picked up at the next idle.
    std::mutex controlsGuard;
    std::atomic<bool> resyncPending{false};
};
