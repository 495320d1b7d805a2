#pragma once
// The editor base for panels built from the widget kit: reports the panel's
// size, idles its frame, forwards keys and edit brackets, and keeps the host
// alive while a control tracks the mouse.
#include <cstdint>

#include "editor/CView.h"
#include "shell/AEffEditor.h"

class AudioEffectX;

namespace VSTGUI {
class CFrame;
}

class AEffGUIEditor : public AEffEditor, public VSTGUI::VSTGUIEditorInterface {
public:
    explicit AEffGUIEditor(AudioEffectX* effect);
    ~AEffGUIEditor() override = default;

    bool getRect(ERect** rect) override;
    bool open(void* parentWindow) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(int mode) override;
    void beginEdit(int index) override;
    void endEdit(int index) override;
    void doIdleStuff() override;
    int32_t getKnobMode() const override { return knobMode; }

    VSTGUI::CFrame* getFrame() const { return frame; }

protected:
    AudioEffectX* effectX() const;

    ERect rect{0, 0, 0, 0};
    uint32_t lastTicks;          // when the next full idle pass is due
    bool inIdleStuff = false;    // inside the host's idle callback
    VSTGUI::CFrame* frame = nullptr;

    // Shared by every editor in the process; the knobs drag linearly whatever it holds.
    static int32_t knobMode;
};
