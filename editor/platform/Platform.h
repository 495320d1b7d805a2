#pragma once
// The narrow seam between the panel kit and the windowing system. Everything the
// kit needs of a platform is here; the X11 implementation lives beside this file
// and no type of it leaks out.
#include <cstddef>
#include <cstdint>

#include "editor/platform/KitTypes.h"

namespace ka813::platform {

// The kit's geometry and colours, by their short names.
using VSTGUI::CColor;
using VSTGUI::CPoint;
using VSTGUI::CRect;

// Decoded pixels: 32 bits each, bytes blue, green, red, alpha in memory order,
// colours premultiplied by alpha, rows top-down. Created all zero (transparent).
// An image drawn at a scale of 2 has two pixels each way for every pixel of
// the panel's layout.
class Image {
public:
    // nullptr when out of memory. Width and height count the image's own pixels.
    static Image* create(int32_t width, int32_t height, int32_t scale = 1);
    virtual ~Image() = default;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual int32_t scale() const = 0;
    virtual uint8_t* row(int32_t y) = 0;
    virtual int32_t stride() const = 0;
    // Must be called after writing through row(), before the next drawing.
    virtual void pixelsChanged() = 0;
};

// A drawing target: a window or a block of memory. Every position and size
// is in the panel's layout pixels; a surface of scale 2 has four of its own
// pixels for each. Images of another scale are enlarged or reduced to fit.
class Surface {
public:
    virtual ~Surface() = default;
    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual int32_t scale() const = 0;
    // Source-over blend of the block of `image` at `source`, as large as `dest`,
    // with per-pixel alpha and a constant alpha 0..255, limited to `clip`. A block
    // that leaves the image draws nothing.
    virtual void blendImage(Image& image, const CRect& dest, const CPoint& source,
                            int32_t constantAlpha, const CRect& clip) = 0;
    // Plain copy of the block, alpha ignored; same bounds rule.
    virtual void copyImage(Image& image, const CRect& dest, const CPoint& source,
                           const CRect& clip) = 0;
    virtual void fillRect(const CRect& area, const CColor& color, const CRect& clip) = 0;
    // Copies `area` of `source` to the same place on this surface.
    virtual void copyFrom(Surface& source, const CRect& area) = 0;
    // Makes everything drawn so far visible (and, for a window, done by the server).
    virtual void flush() = 0;
};

Surface* createMemorySurface(int32_t width, int32_t height, int32_t scale = 1);

// What a window reports to its owner while its events are served; positions
// in layout pixels.
class WindowListener {
public:
    virtual ~WindowListener() = default;
    virtual void windowPaint(const CRect& area) = 0;
    // buttons: the kit's button and modifier bits as they were at the press.
    virtual void windowButtonDown(const CPoint& where, int32_t buttons) = 0;
    virtual void windowWheel(const CPoint& where, float distance) = 0;
    virtual void windowDestroyed() = 0;
};

// A child window inside a host's window, with its own connection to the display.
class Window {
public:
    // parent: the host's window handle. width and height in layout pixels; the
    // window has scale times as many of the display's. Answers nullptr when the
    // parent is not a usable window or the display cannot be reached.
    static Window* createChild(void* parent, int32_t width, int32_t height, int32_t scale,
                               WindowListener* listener);
    virtual ~Window() = default;
    virtual Surface* surface() = 0;
    // Serves the window's pending events. With paintsOnly, input is left queued
    // (a control tracking the mouse owns the input) and only paints and the
    // window's destruction are handled.
    virtual void serveEvents(bool paintsOnly) = 0;
    virtual bool exists() const = 0;
    // Live state of the pointer buttons and modifier keys, as kit bits.
    virtual int32_t mouseButtons() = 0;
    // Live pointer position relative to the window's top-left corner, in layout pixels.
    virtual CPoint pointerPosition() = 0;
    virtual void* nativeHandle() const = 0;
};

uint32_t tickCount();  // milliseconds, wrapping
void sleepMilliseconds(uint32_t ms);
int32_t doubleClickTime();

// The dots per inch the X server's resources ask fonts to be drawn at
// (Xft.dpi), or 0 when they name none or the display cannot be reached.
double resourceDpi();

// Keeps the connection to the display open while it lives, so that requests
// in a row (the scale, then the window) share one connection.
class DisplayUse {
public:
    DisplayUse();
    ~DisplayUse();
    DisplayUse(const DisplayUse&) = delete;
    DisplayUse& operator=(const DisplayUse&) = delete;

private:
    bool held;
};

}  // namespace ka813::platform
