#include "editor/CFrame.h"

#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"

namespace VSTGUI {

CFrame::CFrame(const CRect& rect, void* systemWindow, VSTGUIEditorInterface* editor,
               int32_t frameScale)
    : CViewContainer(rect, this), pEditor(editor), pSystemWindow(systemWindow),
      scale(frameScale < 1 ? 1 : frameScale) {
    if (pSystemWindow)
        window = ka813::platform::Window::createChild(pSystemWindow, size.width(), size.height(), scale,
                                                      this);
    setDropActive(true);
}

CFrame::~CFrame() {
    setModalView(nullptr);
    setDropActive(false);
    pFrameContext = nullptr;
    if (pBackBuffer) {
        pBackBuffer->forget();
        pBackBuffer = nullptr;
    }
    delete window;
    window = nullptr;
    pSystemWindow = nullptr;
    pFocusView = nullptr;
    // Children go before the container's own destructor runs, while the frame
    // they point at is still whole.
    removeAll(true);
}

bool CFrame::isTypeOf(const char* className) const {
    return sameTypeName(className, "CFrame") || CViewContainer::isTypeOf(className);
}

CDrawContext* CFrame::createWindowContext() {
    return new CDrawContext(this, window ? window->surface() : nullptr, window);
}

COffscreenContext* CFrame::getBackBuffer() {
    if (!pBackBuffer) {
        pBackBuffer = new COffscreenContext(this, size.width(), size.height(), CColor{0, 0, 0, 255});
        if (!pBackBuffer->isValid()) {
            pBackBuffer->forget();
            pBackBuffer = nullptr;
        }
    }
    return pBackBuffer;
}

int32_t CFrame::getMouseButtons() const { return window ? window->mouseButtons() : 0; }

bool CFrame::getCurrentLocation(CPoint& where) {
    if (!window) {
        where = CPoint();
        return false;
    }
    where = window->pointerPosition();
    return true;
}

void CFrame::idle() {
    if (!bOpenFlag || !window)
        return;
    // Nobody else reads this window's events: serve them here, as a message loop
    // would. While a click is being handled only paints are taken, the input
    // belongs to the control that tracks the mouse.
    window->serveEvents(inputDepth > 0);
    if (!bOpenFlag || bFirstDraw || !isDirty())
        return;
    CDrawContext* context = createWindowContext();
    update(context);
    context->forget();
}

void CFrame::servePendingPaint() {
    if (bOpenFlag && window)
        window->serveEvents(true);
}

void CFrame::update(CDrawContext* context) {
    if (!bOpenFlag || bUpdatesDisabled || !context)
        return;
    COffscreenContext* back = getBackBuffer();
    if (!back)
        return;
    CDrawContext* previous = pFrameContext;
    pFrameContext = back;
    if (bDirty) {
        draw(back);
    } else {
        const CRect own(0, 0, size.width(), size.height());
        for (CView* child : children) {
            CRect clip(child->getViewSize());
            clip.bound(own);
            back->setClipRect(clip);
            child->update(back);
        }
    }
    back->resetClipRect();
    back->copyFrom(context, CRect(0, 0, size.width(), size.height()));
    pFrameContext = previous;
}

void CFrame::draw(CDrawContext* context) {
    bFirstDraw = false;
    if (context) {
        CViewContainer::draw(context);
        return;
    }
    if (pFrameContext) {
        CViewContainer::draw(pFrameContext);
        return;
    }
    // No target given: draw through the back buffer onto the window.
    COffscreenContext* back = getBackBuffer();
    if (!back)
        return;
    CViewContainer::draw(back);
    CDrawContext* windowContext = createWindowContext();
    back->copyFrom(windowContext, CRect(0, 0, size.width(), size.height()));
    windowContext->forget();
}

void CFrame::drawRect(CDrawContext* context, const CRect& updateRect) {
    bFirstDraw = false;
    if (context) {
        CViewContainer::drawRect(context, updateRect);
        return;
    }
    CDrawContext* windowContext = createWindowContext();
    CViewContainer::drawRect(windowContext, updateRect);
    if (windowContext->getSurface())
        windowContext->getSurface()->flush();
    windowContext->forget();
}

void CFrame::redrawRect(CDrawContext* context, const CRect& rect) { drawRect(context, rect); }

void CFrame::drawView(CView* view) {
    if (!view)
        return;
    CDrawContext* context = createWindowContext();
    context->setClipRect(view->getViewSize());
    view->drawRect(context, view->getViewSize());
    if (context->getSurface())
        context->getSurface()->flush();
    context->forget();
}

void CFrame::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    setFocusView(nullptr);
    if (buttons == -1)
        buttons = context ? context->getMouseButtons() : getMouseButtons();
    if (pModalView) {
        if (pModalView->hitTest(where, buttons))
            pModalView->mouse(context, where, buttons);
        return;
    }
    CViewContainer::mouse(context, where, buttons);
}

int32_t CFrame::onKeyDown(VstKeyCode& keyCode) {
    int32_t result = -1;
    if (pFocusView)
        result = pFocusView->onKeyDown(keyCode);
    if (result == -1 && pModalView)
        result = pModalView->onKeyDown(keyCode);
    if (result == -1 && keyCode.virt == VKEY_TAB)
        result = advanceNextFocusView(pFocusView, (keyCode.modifier & MODIFIER_SHIFT) != 0) ? 1 : -1;
    return result;
}

int32_t CFrame::onKeyUp(VstKeyCode& keyCode) {
    int32_t result = -1;
    if (pFocusView)
        result = pFocusView->onKeyUp(keyCode);
    if (result == -1 && pModalView)
        result = pModalView->onKeyUp(keyCode);
    return result;
}

bool CFrame::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    CView* target = pModalView ? pModalView : childAt(where, false);
    if (!target)
        return false;
    CDrawContext* own = context ? nullptr : createWindowContext();
    const bool result = target->onWheel(context ? context : own, where, distance);
    if (own)
        own->forget();
    return result;
}

void CFrame::doIdleStuff() {
    if (pEditor)
        pEditor->doIdleStuff();
}

uint32_t CFrame::getTicks() const { return pEditor ? ka813::platform::tickCount() : 0; }

int32_t CFrame::getKnobMode() const { return pEditor ? pEditor->getKnobMode() : 0; }

bool CFrame::setModalView(CView* view) {
    if (view && pModalView)
        return false;
    if (pModalView)
        pModalView->removed(this);
    pModalView = view;
    if (pModalView)
        pModalView->attached(this);
    return true;
}

void CFrame::beginEdit(int32_t tag) {
    if (pEditor)
        pEditor->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
    if (pEditor)
        pEditor->endEdit(tag);
}

void CFrame::setFocusView(CView* view) {
    CView* previous = pFocusView;
    pFocusView = view;
    if (pFocusView && pFocusView->wantsFocus())
        pFocusView->setDirty(true);
    if (previous) {
        previous->looseFocus();
        if (previous->wantsFocus())
            previous->setDirty(true);
    }
}

bool CFrame::setDropActive(bool state) {
    // Nothing on this panel takes a drop, so no drop protocol is spoken on the
    // window; the flag only records what was asked.
    bDropActive = state && window != nullptr;
    return true;
}

void CFrame::invalidate(const CRect& rect) {
    for (CView* child : children) {
        if (child->getViewSize().rectOverlap(rect))
            child->setDirty(true);
    }
}

void CFrame::windowPaint(const CRect& area) {
    COffscreenContext* back = getBackBuffer();
    if (!back || !window)
        return;
    CRect r(area);
    r.bound(CRect(0, 0, size.width(), size.height()));
    drawRect(back, r);
    window->surface()->copyFrom(*back->getSurface(), r);
    window->surface()->flush();
}

void CFrame::windowButtonDown(const CPoint& where, int32_t buttons) {
    ++inputDepth;
    CDrawContext* context = createWindowContext();
    CPoint p(where);
    mouse(context, p, buttons);
    context->forget();
    --inputDepth;
}

void CFrame::windowWheel(const CPoint& where, float distance) {
    ++inputDepth;
    CDrawContext* context = createWindowContext();
    onWheel(context, where, distance);
    context->forget();
    --inputDepth;
}

void CFrame::windowDestroyed() {
    bOpenFlag = false;
    pSystemWindow = nullptr;
}

}  // namespace VSTGUI
