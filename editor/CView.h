#pragma once
// The base of everything on the panel: a rectangle with a dirty state and an
// optional background bitmap, placed in a container of a frame.
#include "editor/VSTGUITypes.h"

namespace VSTGUI {

class CBitmap;
class CDrawContext;
class CFrame;
class CViewContainer;

// What the frame needs of the editor that owns it.
class VSTGUIEditorInterface {
public:
    virtual void doIdleStuff() {}
    virtual void beginEdit(int32_t /*tag*/) {}
    virtual void endEdit(int32_t /*tag*/) {}
    virtual int32_t getKnobMode() const { return 0; }

protected:
    virtual ~VSTGUIEditorInterface() = default;
};

class CView : public CReferenceCounter {
public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawRect(CDrawContext* context, const CRect& updateRect);
    virtual bool checkUpdate(const CRect& updateRect) const { return updateRect.rectOverlap(size); }
    virtual void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1);
    virtual void setBackground(CBitmap* background);
    virtual CBitmap* getBackground() const { return pBackground; }
    virtual int32_t onKeyDown(VstKeyCode& keyCode);
    virtual int32_t onKeyUp(VstKeyCode& keyCode);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, int32_t axis, float distance);
    virtual bool onWheel(CDrawContext* context, const CPoint& where, float distance);
    virtual void looseFocus(CDrawContext* /*context*/ = nullptr) {}
    virtual void takeFocus(CDrawContext* /*context*/ = nullptr) {}
    virtual bool isDirty() const { return bDirty; }
    virtual void setDirty(bool state = true) { bDirty = state; }
    virtual void setMouseEnabled(bool enable = true) { bMouseEnabled = enable; }
    virtual bool getMouseEnabled() const { return bMouseEnabled; }
    virtual void setMouseableArea(const CRect& area) { mouseableArea = area; }
    virtual const CRect& getMouseableArea() const { return mouseableArea; }
    virtual bool hitTest(const CPoint& where, int32_t buttons = -1);
    virtual void setTransparency(bool state) { bTransparencyEnabled = state; }
    virtual bool getTransparency() const { return bTransparencyEnabled; }
    virtual void setViewSize(const CRect& rect);
    virtual const CRect& getViewSize() const { return size; }
    virtual bool removed(CView* /*parent*/) { return true; }
    virtual bool attached(CView* /*parent*/) { return true; }
    virtual void getMouseLocation(CDrawContext* context, CPoint& point);
    virtual CPoint& frameToLocal(CPoint& point) const;
    virtual CPoint& localToFrame(CPoint& point) const;
    virtual VSTGUIEditorInterface* getEditor() const;
    virtual int32_t notify(CView* /*sender*/, const char* /*message*/) { return 0; }
    virtual void redrawRect(CDrawContext* context, const CRect& rect);
    virtual bool wantsFocus() const { return bWantsFocus; }
    virtual void setWantsFocus(bool state) { bWantsFocus = state; }
    virtual bool isTypeOf(const char* className) const;
    virtual void update(CDrawContext* context);

    void setParentView(CView* parent) { pParentView = parent; }
    CView* getParentView() const { return pParentView; }
    void setFrame(CFrame* frame) { pParentFrame = frame; }
    CFrame* getFrame() const { return pParentFrame; }

protected:
    // Draws the background bitmap, if any, into `rect` from `offset` in the
    // bitmap, with or without its transparency as the view is set.
    void drawBackgroundImage(CDrawContext* context, const CRect& rect,
                             const CPoint& offset = CPoint(0, 0)) const;

    CRect size;
    CRect mouseableArea;
    CFrame* pParentFrame = nullptr;
    CView* pParentView = nullptr;
    bool bDirty = false;
    bool bMouseEnabled = true;
    bool bTransparencyEnabled = false;
    bool bWantsFocus = false;
    CBitmap* pBackground = nullptr;
};

// Compares class names without pulling in the C library's string functions everywhere.
bool sameTypeName(const char* a, const char* b);

}  // namespace VSTGUI
