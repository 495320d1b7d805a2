#include "editor/CView.h"

#include <cstring>

#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"

namespace VSTGUI {

bool sameTypeName(const char* a, const char* b) {
    return a && b && std::strcmp(a, b) == 0;
}

CView::CView(const CRect& rect) : size(rect), mouseableArea(rect) {}

CView::~CView() {
    if (pBackground)
        pBackground->forget();
}

void CView::draw(CDrawContext* context) {
    drawBackgroundImage(context, size);
    setDirty(false);
}

void CView::drawBackgroundImage(CDrawContext* context, const CRect& rect, const CPoint& offset) const {
    if (!pBackground)
        return;
    if (bTransparencyEnabled)
        pBackground->drawTransparent(context, rect, offset);
    else
        pBackground->draw(context, rect, offset);
}

void CView::drawRect(CDrawContext* context, const CRect& /*updateRect*/) { draw(context); }

void CView::mouse(CDrawContext* /*context*/, CPoint& /*where*/, int32_t /*buttons*/) {}

void CView::setBackground(CBitmap* background) {
    if (background)
        background->remember();
    if (pBackground)
        pBackground->forget();
    pBackground = background;
    setDirty(true);
}

int32_t CView::onKeyDown(VstKeyCode& /*keyCode*/) { return -1; }
int32_t CView::onKeyUp(VstKeyCode& /*keyCode*/) { return -1; }

bool CView::onWheel(CDrawContext* context, const CPoint& where, int32_t /*axis*/, float distance) {
    return onWheel(context, where, distance);
}

bool CView::onWheel(CDrawContext* /*context*/, const CPoint& /*where*/, float /*distance*/) {
    return false;
}

bool CView::hitTest(const CPoint& where, int32_t /*buttons*/) {
    return mouseableArea.pointInside(where);
}

void CView::setViewSize(const CRect& rect) {
    size = rect;
    setDirty(true);
}

void CView::getMouseLocation(CDrawContext* context, CPoint& point) {
    if (context)
        context->getMouseLocation(point);
    else if (pParentFrame)
        pParentFrame->getCurrentLocation(point);
    frameToLocal(point);
}

CPoint& CView::frameToLocal(CPoint& point) const {
    if (pParentView && pParentView != pParentFrame)
        return pParentView->frameToLocal(point);
    return point;
}

CPoint& CView::localToFrame(CPoint& point) const {
    if (pParentView && pParentView != pParentFrame)
        return pParentView->localToFrame(point);
    return point;
}

VSTGUIEditorInterface* CView::getEditor() const {
    return pParentFrame ? pParentFrame->getEditor() : nullptr;
}

void CView::redrawRect(CDrawContext* context, const CRect& rect) {
    if (pParentView)
        pParentView->redrawRect(context, rect);
    else if (pParentFrame && pParentFrame != this)
        pParentFrame->redrawRect(context, rect);
}

bool CView::isTypeOf(const char* className) const { return sameTypeName(className, "CView"); }

void CView::update(CDrawContext* context) {
    if (!isDirty())
        return;
    if (context) {
        // Redrawn through the parent, so that a view with per-pixel alpha is
        // composed over fresh background, never over its own previous image.
        redrawRect(context, size);
    } else if (pParentFrame) {
        pParentFrame->drawView(this);
    }
    setDirty(false);
}

}  // namespace VSTGUI
