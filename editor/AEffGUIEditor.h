#pragma once
// The editor base for panels built from the widget kit: reports the panel's
// size, idles its frame, forwards keys and edit brackets, and keeps the host
// alive while a control tracks the mouse. It reaches the effect only through
// EditorEffect; the effect's side drives it through these operations.
#include <cstdint>

#include "editor/CView.h"
#include "editor/EditorEffect.h"

namespace VSTGUI {
class CFrame;
}

namespace ka813 {

class AEffGUIEditor : public VSTGUI::VSTGUIEditorInterface {
public:
    explicit AEffGUIEditor(EditorEffect* effect);
    virtual ~AEffGUIEditor() = default;

    AEffGUIEditor(const AEffGUIEditor&) = delete;
    AEffGUIEditor& operator=(const AEffGUIEditor&) = delete;

    EditorEffect* getEffect() const { return effect; }
    // The window's size in the display's pixels.
    virtual const VSTGUI::CRect& getRect();
    // Answers false, and stays closed, when no window could be made in the parent.
    virtual bool open(void* parentWindow);
    virtual void close();
    bool isOpen() const { return systemWindow != nullptr; }
    virtual void idle();
    virtual bool onKeyDown(VSTGUI::VstKeyCode& keyCode);
    virtual bool onKeyUp(VSTGUI::VstKeyCode& keyCode);
    virtual bool onWheel(float distance);
    virtual bool setKnobMode(int mode);
    // Told by the effect after each of its own parameter changes.
    virtual void setParameter(int index, float value);
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    void doIdleStuff() override;
    int32_t getKnobMode() const override { return knobMode; }

    VSTGUI::CFrame* getFrame() const { return frame; }

protected:
    EditorEffect* effect;
    void* systemWindow = nullptr;  // the host's parent window while open
    VSTGUI::CRect rect;
    uint32_t lastTicks;          // when the next full idle pass is due
    bool inIdleStuff = false;    // inside the host's idle callback
    VSTGUI::CFrame* frame = nullptr;

    // Shared by every editor in the process; the knobs drag linearly whatever it holds.
    static int32_t knobMode;
};

}  // namespace ka813
