// The editor base the effect owns. The shell talks to any editor through
// these virtual operations only, so it needs no knowledge of the editor's
// classes; the slot order is fixed.
#pragma once

#include "shell/Vst2Interface.h"

namespace ka813 {

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect)
    {
        (void)rect;
        return false;
    }
    virtual bool open(void* parentWindow)
    {
        systemWindow = parentWindow;
        return false;
    }
    virtual void close() { systemWindow = nullptr; }
    virtual bool isOpen() { return systemWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& keyCode)
    {
        (void)keyCode;
        return false;
    }
    virtual bool onKeyUp(VstKeyCode& keyCode)
    {
        (void)keyCode;
        return false;
    }
    virtual bool onWheel(float distance)
    {
        (void)distance;
        return false;
    }
    virtual bool setKnobMode(int mode)
    {
        (void)mode;
        return false;
    }
    // Told by the effect after each of its own parameter changes.
    virtual void setParameter(int index, float value)
    {
        (void)index;
        (void)value;
    }
    virtual void beginEdit(int index) { (void)index; }
    virtual void endEdit(int index) { (void)index; }
    virtual void doIdleStuff() {}

protected:
    AudioEffect* effect = nullptr;
    void* systemWindow = nullptr;  // the host's parent window, given to open
};

}  // namespace ka813
