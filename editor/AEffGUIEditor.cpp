#include "editor/AEffGUIEditor.h"

#include "editor/CDrawContext.h"
#include "editor/CFrame.h"
#include "editor/platform/Platform.h"

using namespace VSTGUI;

namespace ka813 {

int32_t AEffGUIEditor::knobMode = 0;

AEffGUIEditor::AEffGUIEditor(EditorEffect* editorEffect)
    : effect(editorEffect), lastTicks(platform::tickCount()) {}

const CRect& AEffGUIEditor::getRect() { return rect; }

bool AEffGUIEditor::open(void* parentWindow) {
    systemWindow = parentWindow;
    return true;
}

void AEffGUIEditor::close() { systemWindow = nullptr; }

void AEffGUIEditor::idle() {
    // A host that idles its editors from inside its own idle callback must not
    // re-enter a frame that is in the middle of a drag.
    if (!inIdleStuff && frame)
        frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    return frame && frame->onKeyDown(keyCode) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
    return frame && frame->onKeyUp(keyCode) == 1;
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

void AEffGUIEditor::setParameter(int /*index*/, float /*value*/) {}

void AEffGUIEditor::beginEdit(int32_t index) {
    if (effect)
        effect->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (effect)
        effect->endEdit(index);
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

}  // namespace ka813
