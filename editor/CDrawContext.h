#pragma once
// Drawing targets: a window (through the platform layer) or an off-screen buffer.
#include "editor/VSTGUITypes.h"

namespace ka813::platform {
class Surface;
class Window;
}  // namespace ka813::platform

namespace VSTGUI {

class CFrame;

class CDrawContext : public CReferenceCounter {
public:
    // A context for the frame's window (surface and window may be null for a
    // frame without a window; then nothing is drawn).
    CDrawContext(CFrame* frame, ka813::platform::Surface* surface, ka813::platform::Window* window);
    ~CDrawContext() override = default;

    ka813::platform::Surface* getSurface() const { return surface; }
    ka813::platform::Window* getWindow() const { return window; }
    CFrame* getFrame() const { return pFrame; }

    CRect& getClipRect(CRect& clip) const;
    void setClipRect(const CRect& clip);
    void resetClipRect();

    // Added to every coordinate drawn.
    CPoint offset;

    void setFrameColor(const CColor& color) { frameColor = color; }
    void setFillColor(const CColor& color) { fillColor = color; }
    const CColor& getFillColor() const { return fillColor; }
    void fillRect(const CRect& rect);

    // Live pointer buttons and modifiers, and the pointer position in frame coordinates.
    int32_t getMouseButtons() const;
    void getMouseLocation(CPoint& point) const;

protected:
    CFrame* pFrame;
    ka813::platform::Surface* surface;
    ka813::platform::Window* window;
    CRect clipRect;
    CColor frameColor{255, 255, 255, 255};
    CColor fillColor{0, 0, 0, 255};
};

// An off-screen buffer of width x height layout pixels, at its frame's scale.
class COffscreenContext : public CDrawContext {
public:
    COffscreenContext(CFrame* frame, int32_t width, int32_t height,
                      const CColor& background = CColor{0, 0, 0, 255});
    ~COffscreenContext() override;

    bool isValid() const { return surface != nullptr; }
    int32_t getWidth() const { return width; }
    int32_t getHeight() const { return height; }
    // Copies the block `rect` of this buffer to the same place of `dest`.
    void copyFrom(CDrawContext* dest, const CRect& rect);

protected:
    int32_t width;
    int32_t height;
};

}  // namespace VSTGUI
