#pragma once
// The top view of a panel: owns the child window inside the host's window, routes
// input to its views and draws them double-buffered through a back buffer.
#include "editor/CViewContainer.h"
#include "editor/platform/Platform.h"

namespace VSTGUI {

class CDrawContext;
class COffscreenContext;

class CFrame : public CViewContainer, private ka813::platform::WindowListener {
public:
    // Creates the child window at once when a parent window is given. The size
    // and every position within the frame are in layout pixels; the window and
    // the back buffer have scale times as many of the display's.
    CFrame(const CRect& size, void* systemWindow, VSTGUIEditorInterface* editor,
           int32_t scale = 1);
    ~CFrame() override;

    void draw(CDrawContext* context = nullptr) override;
    void drawRect(CDrawContext* context, const CRect& updateRect) override;
    void mouse(CDrawContext* context, CPoint& where, int32_t buttons = -1) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    int32_t onKeyUp(VstKeyCode& keyCode) override;
    using CViewContainer::onWheel;
    bool onWheel(CDrawContext* context, const CPoint& where, float distance) override;
    bool isTypeOf(const char* className) const override;
    VSTGUIEditorInterface* getEditor() const override { return pEditor; }
    void redrawRect(CDrawContext* context, const CRect& rect) override;
    void update(CDrawContext* context) override;

    bool isOpen() const { return bOpenFlag; }
    void setOpenFlag(bool state) { bOpenFlag = state; }
    void idle();
    void doIdleStuff();
    uint32_t getTicks() const;
    int32_t getKnobMode() const;
    bool setModalView(CView* view);
    CView* getModalView() const { return pModalView; }
    void beginEdit(int32_t tag);
    void endEdit(int32_t tag);
    bool getCurrentLocation(CPoint& where);
    void setFocusView(CView* view);
    CView* getFocusView() const { return pFocusView; }
    // No view of a panel accepts drops; kept so the frame answers as it always has.
    bool setDropActive(bool state);
    bool isDropActive() const { return bDropActive; }
    void invalidate(const CRect& rect);
    void setUpdatesDisabled(bool state) { bUpdatesDisabled = state; }
    bool getUpdatesDisabled() const { return bUpdatesDisabled; }
    // Draws one view by itself into a new window context.
    void drawView(CView* view);
    // Serves at most one pending paint of the window (used while a control tracks the mouse).
    void servePendingPaint();
    bool hasDrawnOnce() const { return !bFirstDraw; }

    void* getSystemWindow() const { return pSystemWindow; }
    int32_t getScale() const { return scale; }
    ka813::platform::Window* getPlatformWindow() const { return window; }
    COffscreenContext* getBackBuffer();
    // Live pointer state, read from the window's display.
    int32_t getMouseButtons() const;
    CDrawContext* createWindowContext();

private:
    // Window events.
    void windowPaint(const CRect& area) override;
    void windowButtonDown(const CPoint& where, int32_t buttons) override;
    void windowWheel(const CPoint& where, float distance) override;
    void windowDestroyed() override;

    VSTGUIEditorInterface* pEditor;
    void* pSystemWindow;
    int32_t scale;
    CView* pModalView = nullptr;
    CView* pFocusView = nullptr;
    bool bFirstDraw = true;
    bool bOpenFlag = true;
    bool bDropActive = false;
    bool bUpdatesDisabled = false;
    int32_t inputDepth = 0;  // > 0 while a click or wheel is being handled
    ka813::platform::Window* window = nullptr;
    COffscreenContext* pBackBuffer = nullptr;
    CDrawContext* pFrameContext = nullptr;
};

}  // namespace VSTGUI
