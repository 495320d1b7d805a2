#include "editor/CLight.h"

namespace VSTGUI {

CLight::CLight(const CRect& rect, CBitmap* strip, int32_t numFrames) : CView(rect), frames(numFrames) {
    setBackground(strip);
    setMouseEnabled(false);
}

void CLight::setFrame(int32_t newFrame) {
    if (newFrame < 0 || newFrame >= frames || newFrame == frame)
        return;
    frame = newFrame;
    setDirty(true);
}

void CLight::draw(CDrawContext* context) {
    drawBackgroundImage(context, size, CPoint(0, frame * size.height()));
    setDirty(false);
}

bool CLight::isTypeOf(const char* className) const {
    return sameTypeName(className, "CLight") || CView::isTypeOf(className);
}

}  // namespace VSTGUI
