#include "editor/COnOffButton.h"

#include <cmath>

#include "editor/CBitmap.h"

namespace VSTGUI {

COnOffButton::COnOffButton(const CRect& rect, CControlListener* controlListener, int32_t controlTag,
                           CBitmap* background, int32_t buttonStyle)
    : CControl(rect, controlListener, controlTag, background), style(buttonStyle) {}

void COnOffButton::draw(CDrawContext* context) {
    if (pBackground) {
        // The picture follows the sound, which takes a switch as on from 0.5
        // up: a host may send 0.3, which sounds off and must look off.
        const int32_t offsetY = (value >= 0.5f) ? pBackground->getHeight() / 2 : 0;
        drawBackgroundImage(context, size, CPoint(0, offsetY));
    }
    setDirty(false);
}

void COnOffButton::mouse(CDrawContext* context, CPoint& /*where*/, int32_t buttons) {
    if (!takesClick(context, buttons))
        return;
    // Acts on the press; 0.5 becomes 1 (and already shows the second image).
    // The integer part is non-zero from magnitude 1 on; asking it this way keeps
    // a huge or NaN value from a host out of an overflowing conversion.
    value = !(std::fabs(value) < 1.f) ? 0.f : 1.f;

    if (listener && style == kListenerBeforeRedraw) {
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    }
    doIdleStuff();
    if (listener && style == kListenerAfterRedraw) {
        beginEdit();
        listener->valueChanged(context, this);
        endEdit();
    }
}

bool COnOffButton::isTypeOf(const char* className) const {
    return sameTypeName(className, "COnOffButton") || CControl::isTypeOf(className);
}

}  // namespace VSTGUI
