#include "editor/CDrawContext.h"

#include "editor/CFrame.h"
#include "editor/platform/Platform.h"

namespace VSTGUI {

CDrawContext::CDrawContext(CFrame* frame, ka813::platform::Surface* target,
                           ka813::platform::Window* targetWindow)
    : pFrame(frame), surface(target), window(targetWindow) {
    resetClipRect();
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect;
    clip.offset(-offset.h, -offset.v);
    return clip;
}

void CDrawContext::setClipRect(const CRect& clip) {
    clipRect = clip;
    clipRect.offset(offset.h, offset.v);
}

void CDrawContext::resetClipRect() {
    if (pFrame)
        clipRect = pFrame->getViewSize();
    else
        clipRect = CRect(0, 0, 1000, 1000);
}

void CDrawContext::fillRect(const CRect& rect) {
    if (!surface)
        return;
    CRect r(rect);
    r.offset(offset.h, offset.v);
    surface->fillRect(r, fillColor, clipRect);
}

int32_t CDrawContext::getMouseButtons() const {
    if (window)
        return window->mouseButtons();
    return pFrame ? pFrame->getMouseButtons() : 0;
}

void CDrawContext::getMouseLocation(CPoint& point) const {
    ka813::platform::Window* w = window ? window : (pFrame ? pFrame->getPlatformWindow() : nullptr);
    point = w ? w->pointerPosition() : CPoint();
}

COffscreenContext::COffscreenContext(CFrame* frame, int32_t w, int32_t h, const CColor& background)
    : CDrawContext(frame, ka813::platform::createMemorySurface(w, h, frame ? frame->getScale() : 1), nullptr),
      width(w), height(h) {
    clipRect = CRect(0, 0, w, h);
    if (surface)
        surface->fillRect(CRect(0, 0, w, h), background, clipRect);
}

COffscreenContext::~COffscreenContext() { delete surface; }

void COffscreenContext::copyFrom(CDrawContext* dest, const CRect& rect) {
    if (!surface || !dest || !dest->getSurface())
        return;
    dest->getSurface()->copyFrom(*surface, rect);
    dest->getSurface()->flush();
}

}  // namespace VSTGUI
