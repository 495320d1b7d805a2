#include "editor/AEffGUIEditor.h"

#include "editor/CDrawContext.h"
#include "editor/CFrame.h"
#include "editor/platform/Platform.h"
#include "shell/AudioEffectX.h"

using namespace VSTGUI;

int32_t AEffGUIEditor::knobMode = 0;

namespace {

VSTGUI::VstKeyCode toKit(const ::VstKeyCode& key) {
    return VSTGUI::VstKeyCode{key.character, key.virt, key.modifier};
}

}  // namespace

AEffGUIEditor::AEffGUIEditor(AudioEffectX* effect)
    : AEffEditor(effect), lastTicks(platform::tickCount()) {}

AudioEffectX* AEffGUIEditor::effectX() const {
    // Editors are only ever made for an AudioEffectX (see createEditor).
    return static_cast<AudioEffectX*>(effect);
}

bool AEffGUIEditor::getRect(ERect** out) {
    if (!out)
        return false;
    *out = &rect;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    AEffEditor::open(parentWindow);
    return true;
}

void AEffGUIEditor::idle() {
    // A host that idles its editors from inside its own idle callback must not
    // re-enter a frame that is in the middle of a drag.
    if (!inIdleStuff && frame)
        frame->idle();
}

bool AEffGUIEditor::onKeyDown(::VstKeyCode& keyCode) {
    VSTGUI::VstKeyCode key = toKit(keyCode);
    return frame && frame->onKeyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(::VstKeyCode& keyCode) {
    VSTGUI::VstKeyCode key = toKit(keyCode);
    return frame && frame->onKeyUp(key) == 1;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame)
        return false;
    CDrawContext* context = frame->createWindowContext();
    CPoint where;
    frame->getCurrentLocation(where);
    const bool taken = frame->onWheel(context, where, distance);
    context->forget();
    return taken;
}

bool AEffGUIEditor::setKnobMode(int mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::beginEdit(int index) {
    if (effect)
        effectX()->beginEdit(index);
}

void AEffGUIEditor::endEdit(int index) {
    if (effect)
        effectX()->endEdit(index);
}

void AEffGUIEditor::doIdleStuff() {
    // Called on every pass of a control's tracking loop: poll the mouse about
    // every 4 ms, but redraw and let the host idle only about every 50 to 100 ms.
    uint32_t now = platform::tickCount();
    if (static_cast<int32_t>(now - lastTicks) < 0) {
        platform::sleepMilliseconds(4);
        now += 4;
        if (static_cast<int32_t>(now - (lastTicks - 50)) < 0)
            return;
    }
    idle();
    if (frame)
        frame->servePendingPaint();
    lastTicks = now + 100;

    inIdleStuff = true;
    if (effect)
        effect->masterIdle();
    inIdleStuff = false;
}
