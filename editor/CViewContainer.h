#pragma once
// A view holding child views in the order they were added; the later-added child
// is on top for drawing and wins the hit test.
#include <vector>

#include "editor/CView.h"

namespace VSTGUI {

class COffscreenContext;

class CViewContainer : public CView {
public:
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    void draw(CDrawContext* context) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(CDrawContext* context, const CPoint& where, int32_t axis, float distance) override;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    void looseFocus(CDrawContext* context = nullptr) override;
    void takeFocus(CDrawContext* context = nullptr) override;
    bool isDirty() const override;
    void setViewSize(const CRect& rect) override;
    bool removed(CView* parent) override;
    bool attached(CView* parent) override;
    CPoint& frameToLocal(CPoint& point) const override;
    CPoint& localToFrame(CPoint& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    void redrawRect(CDrawContext* context, const CRect& rect) override;
    bool isTypeOf(const char* className) const override;
    void update(CDrawContext* context) override;

    virtual void addView(CView* view, const CRect& mouseableArea, bool mouseEnabled = true);
    // Takes over the creator's reference of the view and adds one of its own.
    virtual void addView(CView* view);
    // withForget also drops the creator's reference that addView took over.
    virtual void removeView(CView* view, bool withForget = true);
    virtual void removeAll(bool withForget = true);
    virtual bool isChild(const CView* view) const;
    virtual int32_t getNbViews() const { return static_cast<int32_t>(children.size()); }
    virtual CView* getView(int32_t index) const;
    virtual void setBackgroundColor(const CColor& color) { backgroundColor = color; }
    virtual CColor getBackgroundColor() const { return backgroundColor; }
    virtual void setBackgroundOffset(const CPoint& offset) { backgroundOffset = offset; }
    virtual const CPoint& getBackgroundOffset() const { return backgroundOffset; }
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);
    virtual void setMode(int32_t val) { mode = val; }
    virtual int32_t getMode() const { return mode; }
    virtual void useOffscreen(bool /*state*/) {}  // panels here always draw through the frame's buffer
    virtual CView* getCurrentView() const;
    virtual CView* getViewAt(const CPoint& where, bool deep = false) const;
    virtual bool advanceNextFocusView(CView* oldFocus, bool reverse = false);

protected:
    // The child that takes a click or wheel at `where` (container coordinates).
    CView* childAt(const CPoint& where, bool needMouseEnabled) const;

    std::vector<CView*> children;
    int32_t mode = 1;
    COffscreenContext* pOffscreenContext = nullptr;
    CColor backgroundColor{0, 0, 0, 255};
    CPoint backgroundOffset;
    bool bDrawInOffscreen = false;
    CView* currentDragView = nullptr;
};

}  // namespace VSTGUI
