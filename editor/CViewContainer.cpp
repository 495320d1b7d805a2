#include "editor/CViewContainer.h"

#include <algorithm>

#include "editor/CBitmap.h"
#include "editor/CDrawContext.h"
#include "editor/CFrame.h"

namespace VSTGUI {

CViewContainer::CViewContainer(const CRect& rect, CFrame* frame, CBitmap* background)
    : CView(rect) {
    pParentFrame = frame;
    if (background) {
        pBackground = background;
        pBackground->remember();
    }
    setDirty(true);
}

CViewContainer::~CViewContainer() { removeAll(true); }

void CViewContainer::addView(CView* view, const CRect& area, bool mouseEnabled) {
    if (!view)
        return;
    view->setMouseEnabled(mouseEnabled);
    view->setMouseableArea(area);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view)
        return;
    view->remember();  // the list's own reference, beside the creator's it took over
    children.push_back(view);
    view->setParentView(this);
    view->setFrame(pParentFrame);
    view->attached(this);
    view->setDirty(true);
}

void CViewContainer::removeView(CView* view, bool withForget) {
    auto it = std::find(children.begin(), children.end(), view);
    if (it == children.end())
        return;
    children.erase(it);
    if (pParentFrame && pParentFrame->getFocusView() == view)
        pParentFrame->setFocusView(nullptr);
    if (pParentFrame && pParentFrame->getModalView() == view)
        pParentFrame->setModalView(nullptr);
    if (currentDragView == view)
        currentDragView = nullptr;
    view->removed(this);
    view->forget();
    if (withForget)
        view->forget();
}

void CViewContainer::removeAll(bool withForget) {
    while (!children.empty())
        removeView(children.back(), withForget);
}

bool CViewContainer::isChild(const CView* view) const {
    return std::find(children.begin(), children.end(), view) != children.end();
}

CView* CViewContainer::getView(int32_t index) const {
    if (index < 0 || index >= getNbViews())
        return nullptr;
    return children[static_cast<size_t>(index)];
}

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip(rect);
    clip.bound(oldClip);
    context->setClipRect(clip);
    if (pBackground) {
        drawBackgroundImage(context, CRect(0, 0, pBackground->getWidth(), pBackground->getHeight()),
                            backgroundOffset);
    } else if (!bTransparencyEnabled) {
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
    }
    context->setClipRect(oldClip);
}

void CViewContainer::draw(CDrawContext* context) {
    if (!context)
        return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect own(0, 0, size.width(), size.height());
    CRect clip(own);
    clip.bound(oldClip);
    context->setClipRect(clip);
    drawBackgroundRect(context, own);
    for (CView* child : children) {
        CRect childClip(child->getViewSize());
        childClip.bound(clip);
        context->setClipRect(childClip);
        child->draw(context);
    }
    context->setClipRect(oldClip);
    setDirty(false);
}

void CViewContainer::drawRect(CDrawContext* context, const CRect& updateRect) {
    if (!context)
        return;
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip(updateRect);
    clip.bound(oldClip);
    context->setClipRect(clip);
    if (!updateRect.isEmpty()) {
        drawBackgroundRect(context, updateRect);
        for (CView* child : children) {
            if (!child->checkUpdate(clip))
                continue;
            CRect overlap(child->getViewSize());
            overlap.bound(clip);
            context->setClipRect(overlap);
            child->drawRect(context, overlap);
        }
    }
    context->setClipRect(oldClip);
}

CView* CViewContainer::childAt(const CPoint& where, bool needMouseEnabled) const {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (needMouseEnabled && !child->getMouseEnabled())
            continue;
        if (child->hitTest(where))
            return child;
    }
    return nullptr;
}

void CViewContainer::mouse(CDrawContext* context, CPoint& where, int32_t buttons) {
    CPoint local(where);
    local.offset(-size.left, -size.top);
    if (CView* child = childAt(local, true))
        child->mouse(context, local, buttons);
}

int32_t CViewContainer::onKeyDown(VstKeyCode& keyCode) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const int32_t result = (*it)->onKeyDown(keyCode);
        if (result != -1)
            return result;
    }
    return -1;
}

int32_t CViewContainer::onKeyUp(VstKeyCode& keyCode) {
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        const int32_t result = (*it)->onKeyUp(keyCode);
        if (result != -1)
            return result;
    }
    return -1;
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, int32_t /*axis*/,
                             float distance) {
    return onWheel(context, where, distance);
}

bool CViewContainer::onWheel(CDrawContext* context, const CPoint& where, float distance) {
    CPoint local(where);
    local.offset(-size.left, -size.top);
    // The knob checks its own mouse-enabled flag.
    if (CView* child = childAt(local, false))
        return child->onWheel(context, local, distance);
    return false;
}

void CViewContainer::looseFocus(CDrawContext* context) {
    for (CView* child : children)
        child->looseFocus(context);
}

void CViewContainer::takeFocus(CDrawContext* context) {
    for (CView* child : children)
        child->takeFocus(context);
}

bool CViewContainer::isDirty() const {
    if (bDirty)
        return true;
    const CRect own(0, 0, size.width(), size.height());
    for (CView* child : children) {
        if (child->isDirty() && child->getViewSize().rectOverlap(own))
            return true;
    }
    return false;
}

void CViewContainer::setViewSize(const CRect& rect) {
    CView::setViewSize(rect);
    mouseableArea = rect;
}

bool CViewContainer::removed(CView* parent) {
    for (CView* child : children)
        child->removed(this);
    return CView::removed(parent);
}

bool CViewContainer::attached(CView* parent) {
    for (CView* child : children)
        child->attached(this);
    return CView::attached(parent);
}

CPoint& CViewContainer::frameToLocal(CPoint& point) const {
    if (pParentView && pParentView != pParentFrame && pParentView != this)
        pParentView->frameToLocal(point);
    if (this != static_cast<const CView*>(pParentFrame))
        point.offset(-size.left, -size.top);
    return point;
}

CPoint& CViewContainer::localToFrame(CPoint& point) const {
    if (this != static_cast<const CView*>(pParentFrame))
        point.offset(size.left, size.top);
    if (pParentView && pParentView != pParentFrame && pParentView != this)
        pParentView->localToFrame(point);
    return point;
}

int32_t CViewContainer::notify(CView* /*sender*/, const char* message) {
    return sameTypeName(message, "kMsgCheckIfViewContainer") ? 1 : 0;
}

void CViewContainer::redrawRect(CDrawContext* context, const CRect& rect) {
    CRect r(rect);
    r.offset(size.left, size.top);
    if (pParentView)
        pParentView->redrawRect(context, r);
    else if (pParentFrame && pParentFrame != this)
        pParentFrame->redrawRect(context, r);
}

bool CViewContainer::isTypeOf(const char* className) const {
    return sameTypeName(className, "CViewContainer") || CView::isTypeOf(className);
}

void CViewContainer::update(CDrawContext* context) {
    if (bDirty) {
        redrawRect(context, CRect(0, 0, size.width(), size.height()));
        setDirty(false);
        return;
    }
    for (CView* child : children)
        child->update(context);
}

CView* CViewContainer::getCurrentView() const {
    if (!pParentFrame)
        return nullptr;
    CPoint where;
    pParentFrame->getCurrentLocation(where);
    frameToLocal(where);
    return childAt(where, false);
}

CView* CViewContainer::getViewAt(const CPoint& where, bool deep) const {
    CPoint local(where);
    local.offset(-size.left, -size.top);
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        CView* child = *it;
        if (!child->getMouseableArea().pointInside(local))
            continue;
        if (deep && child->notify(const_cast<CViewContainer*>(this), "kMsgCheckIfViewContainer"))
            return static_cast<CViewContainer*>(child)->getViewAt(local, true);
        return child;
    }
    return nullptr;
}

bool CViewContainer::advanceNextFocusView(CView* oldFocus, bool reverse) {
    if (!pParentFrame)
        return false;
    const int32_t count = getNbViews();
    int32_t start;
    auto found = std::find(children.begin(), children.end(), oldFocus);
    if (oldFocus && found != children.end())
        start = static_cast<int32_t>(found - children.begin()) + (reverse ? -1 : 1);
    else
        start = reverse ? count - 1 : 0;
    for (int32_t i = start; i >= 0 && i < count; i += reverse ? -1 : 1) {
        CView* candidate = children[static_cast<size_t>(i)];
        if (candidate->wantsFocus()) {
            pParentFrame->setFocusView(candidate);
            return true;
        }
    }
    // Past the last one the focus leaves the panel, so the host can move on.
    pParentFrame->setFocusView(nullptr);
    return false;
}

}  // namespace VSTGUI
