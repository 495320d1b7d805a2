#include "editor/CControl.h"

#include <algorithm>

#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"
#include "editor/platform/Platform.h"

namespace VSTGUI {

CControl::CControl(const CRect& rect, CControlListener* controlListener, int32_t controlTag,
                   CBitmap* background)
    : CView(rect), listener(controlListener), tag(controlTag) {
    delta = std::max<int32_t>(ka813::platform::doubleClickTime(), 250);
    if (background) {
        pBackground = background;
        pBackground->remember();
    }
    setDirty(true);
}

bool CControl::isDirty() const { return oldValue != value || CView::isDirty(); }

void CControl::setDirty(bool state) {
    CView::setDirty(state);
    if (state)
        oldValue = (value != -1.f) ? -1.f : 0.f;  // anything but the value itself
    else
        oldValue = value;
}

bool CControl::isTypeOf(const char* className) const {
    return sameTypeName(className, "CControl") || CView::isTypeOf(className);
}

void CControl::doIdleStuff() {
    if (pParentFrame)
        pParentFrame->doIdleStuff();
}

void CControl::beginEdit() {
    if (pParentFrame) {
        pParentFrame->setFocusView(this);
        pParentFrame->beginEdit(tag);
    }
}

void CControl::endEdit() {
    if (pParentFrame)
        pParentFrame->endEdit(tag);
}

bool CControl::takesClick(CDrawContext* context, int32_t& buttons) {
    if (!bMouseEnabled)
        return false;
    if (buttons == -1)
        buttons = context ? context->getMouseButtons() : 0;
    if (!(buttons & kLButton))
        return false;
    if (listener && (buttons & (kAlt | kShift | kControl | kApple)))
        return listener->controlModifierClicked(context, this, buttons) == 0;
    return true;
}

void CControl::copyBackOffset() { backOffset = CPoint(size.left, size.top); }

void CControl::bounceValue() {
    if (value > vmax)
        value = vmax;
    else if (value < vmin)
        value = vmin;
}

bool CControl::checkDefaultValue(CDrawContext* context, int32_t button) {
    // Exactly Ctrl + primary button: Ctrl with Shift is a fine drag, not a reset.
    if (button != (kLButton | kControl))
        return false;
    beginEdit();
    value = defaultValue;
    if (isDirty() && listener)
        listener->valueChanged(context, this);
    endEdit();
    return true;
}

}  // namespace VSTGUI
