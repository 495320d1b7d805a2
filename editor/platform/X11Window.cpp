// The panel's child window on X11. The plug-in keeps its own connection to the
// display, shared by all its windows in the process and closed with the last
// one; the window's events are read from that connection when the frame is
// idled, since no host reads them for us. The window has scale times the
// panel's layout pixels; everything it reports is in layout pixels.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <mutex>

#include "editor/platform/CairoSurface.h"
#include "editor/platform/Platform.h"

namespace ka813::platform {

namespace {

// The process-wide connection, counted like a registered window class. Two
// instances' panels may be opened and closed on two threads at once: the
// connection is opened, counted and closed under the lock, and so are the
// steps that read its error flag.
struct Connection {
    std::mutex guard;
    std::atomic<Display*> display{nullptr};
    int32_t useCount = 0;
    std::atomic<XErrorHandler> previousHandler{nullptr};
    std::atomic<bool> errorSeen{false};
};
Connection connection;

// Errors on our own connection (a parent the host destroyed under us, a bad
// window handle) are noted, not fatal; everybody else's go where they went before.
int onXError(Display* display, XErrorEvent* event) {
    if (display && display == connection.display.load()) {
        connection.errorSeen = true;
        return 0;
    }
    const XErrorHandler previous = connection.previousHandler.load();
    return previous ? previous(display, event) : 0;
}

// With the lock held.
Display* acquireDisplayLocked() {
    if (connection.useCount == 0) {
        Display* opened = XOpenDisplay(nullptr);
        if (!opened)
            return nullptr;
        connection.display = opened;
        connection.previousHandler = XSetErrorHandler(onXError);
    }
    ++connection.useCount;
    return connection.display;
}

// With the lock held.
void releaseDisplayLocked() {
    if (connection.useCount <= 0 || --connection.useCount > 0)
        return;
    XCloseDisplay(connection.display);
    connection.display = nullptr;
    // Put the previous handler back, unless somebody installed another after us.
    XErrorHandler current = XSetErrorHandler(connection.previousHandler);
    if (current != onXError)
        XSetErrorHandler(current);
    connection.previousHandler = nullptr;
}

// Layout pixels from the window's own, rounding towards minus infinity so
// that a pointer left of or above the window stays there.
int32_t toLayout(int32_t pixels, int32_t scale) {
    return pixels >= 0 ? pixels / scale : -((-pixels + scale - 1) / scale);
}

constexpr long kInputMask = ButtonPressMask;
constexpr long kPaintMask = ExposureMask | StructureNotifyMask;

// The kit's button and modifier bits.
using VSTGUI::kAlt;
using VSTGUI::kControl;
using VSTGUI::kLButton;
using VSTGUI::kMButton;
using VSTGUI::kRButton;
using VSTGUI::kShift;

int32_t buttonBits(unsigned int state) {
    // X reports logical buttons: button 1 is the primary one even when a
    // left-handed mapping swaps the physical buttons.
    int32_t bits = 0;
    if (state & Button1Mask) bits |= kLButton;
    if (state & Button2Mask) bits |= kMButton;
    if (state & Button3Mask) bits |= kRButton;
    if (state & ShiftMask) bits |= kShift;
    if (state & ControlMask) bits |= kControl;
    if (state & Mod1Mask) bits |= kAlt;
    return bits;
}

void syncDisplay(void* display) { XSync(static_cast<Display*>(display), False); }

class X11Window final : public Window {
public:
    X11Window(Display* display, ::Window parent, ::Window window, Visual* visual, int32_t width,
              int32_t height, int32_t scale, WindowListener* listener)
        : display(display), parent(parent), window(window), scale(scale), listener(listener) {
        cairo_surface_t* target =
            cairo_xlib_surface_create(display, window, visual, width * scale, height * scale);
        drawing = new CairoSurface(target, width, height, scale);
        // After a flush the server has drawn everything: whoever looks at the
        // window next (the user, or a screenshot) sees the finished panel.
        drawing->setAfterFlush(syncDisplay, display);
    }

    ~X11Window() override {
        delete drawing;
        std::lock_guard<std::mutex> lock(connection.guard);
        if (alive) {
            XDestroyWindow(display, window);
            XSync(display, False);
        }
        // Drop whatever the server still had to say about the window.
        XEvent event;
        while (XCheckWindowEvent(display, window, kInputMask | kPaintMask, &event)) {
        }
        releaseDisplayLocked();
    }

    Surface* surface() override { return drawing; }
    bool exists() const override { return alive; }
    void* nativeHandle() const override {
        return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
    }

    void serveEvents(bool paintsOnly) override {
        if (!alive)
            return;
        const long mask = paintsOnly ? kPaintMask : (kPaintMask | kInputMask);
        bool paintPending = false;
        CRect paintArea;
        XEvent event;
        while (alive && XCheckWindowEvent(display, window, mask, &event)) {
            switch (event.type) {
            case Expose: {
                // Every layout pixel the exposed pixels touch.
                const CRect area(toLayout(event.xexpose.x, scale), toLayout(event.xexpose.y, scale),
                                 toLayout(event.xexpose.x + event.xexpose.width + scale - 1, scale),
                                 toLayout(event.xexpose.y + event.xexpose.height + scale - 1, scale));
                paintArea = paintPending ? unite(paintArea, area) : area;
                paintPending = true;
                break;
            }
            case DestroyNotify:
                if (event.xdestroywindow.window == window) {
                    alive = false;
                    listener->windowDestroyed();
                }
                break;
            case ButtonPress:
                // Paint first: the click may start a drag that runs for a while.
                if (paintPending) {
                    paintPending = false;
                    listener->windowPaint(paintArea);
                }
                pressed(event.xbutton);
                break;
            default:
                break;  // configure, map, reparent: nothing to do
            }
        }
        // Stray no-expose replies of block copies would only pile up.
        while (alive && XCheckTypedWindowEvent(display, window, NoExpose, &event)) {
        }
        if (paintPending && alive)
            listener->windowPaint(paintArea);
    }

    int32_t mouseButtons() override {
        if (!alive)
            return 0;
        ::Window root, child;
        int rootX, rootY, x, y;
        unsigned int state = 0;
        // On another screen the answer is False but the state is still right;
        // on a vanished window it stays 0, which ends any drag.
        XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &state);
        return buttonBits(state);
    }

    CPoint pointerPosition() override {
        ::Window root, child;
        int rootX = 0, rootY = 0, x = 0, y = 0;
        unsigned int state = 0;
        if (!alive || !XQueryPointer(display, window, &root, &child, &rootX, &rootY, &x, &y, &state))
            return CPoint();
        return CPoint(toLayout(x, scale), toLayout(y, scale));
    }

private:
    static CRect unite(const CRect& a, const CRect& b) {
        return CRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                     a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
    }

    void pressed(const XButtonEvent& press) {
        const CPoint where(toLayout(press.x, scale), toLayout(press.y, scale));
        switch (press.button) {
        case Button1:
        case Button2:
        case Button3: {
            // The state at the press itself: a click that is already released
            // when the host gets round to idling still counts as a click.
            int32_t bits = buttonBits(press.state);
            bits |= press.button == Button1 ? kLButton : press.button == Button2 ? kMButton : kRButton;
            listener->windowButtonDown(where, bits);
            break;
        }
        case Button4:
        case Button5:
            listener->windowWheel(where, press.button == Button4 ? 1.f : -1.f);
            if (alive)
                forwardWheel(press);
            break;
        default:
            break;
        }
    }

    // The wheel is also handed on to the host's window, which may scroll with it.
    void forwardWheel(const XButtonEvent& press) {
        XEvent forwarded{};
        forwarded.xbutton = press;
        forwarded.xbutton.window = parent;
        forwarded.xbutton.subwindow = window;
        forwarded.xbutton.send_event = True;
        XSendEvent(display, parent, True, ButtonPressMask, &forwarded);
        forwarded.xbutton.type = ButtonRelease;
        forwarded.xbutton.state |= press.button == Button4 ? Button4Mask : Button5Mask;
        XSendEvent(display, parent, True, ButtonReleaseMask, &forwarded);
        XFlush(display);
    }

    Display* display;
    ::Window parent;
    ::Window window;
    int32_t scale;
    WindowListener* listener;
    CairoSurface* drawing = nullptr;
    bool alive = true;
};

}  // namespace

Window* Window::createChild(void* parentHandle, int32_t width, int32_t height, int32_t scale,
                            WindowListener* listener) {
    const ::Window parent = static_cast<::Window>(reinterpret_cast<uintptr_t>(parentHandle));
    if (parent == 0 || width <= 0 || height <= 0 || scale < 1 || !listener)
        return nullptr;
    std::lock_guard<std::mutex> lock(connection.guard);
    Display* display = acquireDisplayLocked();
    if (!display)
        return nullptr;

    // The handle comes from the host: make sure it names a window before using it.
    connection.errorSeen = false;
    XWindowAttributes parentAttributes{};
    if (!XGetWindowAttributes(display, parent, &parentAttributes) || connection.errorSeen) {
        releaseDisplayLocked();
        return nullptr;
    }
    Screen* screen = parentAttributes.screen;
    Visual* visual = DefaultVisualOfScreen(screen);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // every exposed pixel is painted from the back buffer
    attributes.border_pixel = 0;
    attributes.colormap = DefaultColormapOfScreen(screen);
    attributes.bit_gravity = NorthWestGravity;
    attributes.event_mask = kPaintMask | kInputMask;
    const ::Window window = XCreateWindow(
        display, parent, 0, 0, static_cast<unsigned>(width * scale), static_cast<unsigned>(height * scale), 0,
        DefaultDepthOfScreen(screen), InputOutput, visual,
        CWBackPixmap | CWBorderPixel | CWColormap | CWBitGravity | CWEventMask, &attributes);
    XStoreName(display, window, "Window");
    XMapWindow(display, window);
    XSync(display, False);
    if (connection.errorSeen || window == 0) {
        if (window != 0)
            XDestroyWindow(display, window);
        XSync(display, False);
        releaseDisplayLocked();
        return nullptr;
    }
    return new X11Window(display, parent, window, visual, width, height, scale, listener);
}

DisplayUse::DisplayUse() {
    std::lock_guard<std::mutex> lock(connection.guard);
    held = acquireDisplayLocked() != nullptr;
}

DisplayUse::~DisplayUse() {
    std::lock_guard<std::mutex> lock(connection.guard);
    if (held)
        releaseDisplayLocked();
}

double resourceDpi() {
    std::lock_guard<std::mutex> lock(connection.guard);
    Display* display = acquireDisplayLocked();
    if (!display)
        return 0;
    // Read afresh from the root window: the resources may have changed since
    // the connection was opened.
    double dpi = 0;
    Atom type = 0;
    int format = 0;
    unsigned long items = 0, remaining = 0;
    unsigned char* text = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, 0, 1 << 20, False,
                           XA_STRING, &type, &format, &items, &remaining, &text) == Success &&
        text && type == XA_STRING && format == 8) {
        XrmInitialize();
        if (XrmDatabase resources = XrmGetStringDatabase(reinterpret_cast<const char*>(text))) {
            char* kind = nullptr;
            XrmValue value{};
            if (XrmGetResource(resources, "Xft.dpi", "Xft.Dpi", &kind, &value) && value.addr)
                dpi = std::strtod(value.addr, nullptr);
            XrmDestroyDatabase(resources);
        }
    }
    if (text)
        XFree(text);
    releaseDisplayLocked();
    return dpi > 0 ? dpi : 0;
}

}  // namespace ka813::platform
