#include "HostWindow.h"

#include <X11/Xutil.h>

#include <poll.h>

#include <chrono>
#include <cstdio>

namespace ka813::paneltool {

namespace {

int protocolErrors = 0;

// A plug-in's window may vanish under us; report X errors instead of the
// default handler's exit.
int countError(Display* display, XErrorEvent* event) {
    char text[160] = {};
    XGetErrorText(display, event->error_code, text, sizeof text - 1);
    std::fprintf(stderr, "ka813-panel: X error: %s (request %d)\n", text, event->request_code);
    ++protocolErrors;
    return 0;
}

// Position of a channel inside a pixel, and its width, from a visual's mask.
void maskShape(unsigned long mask, int& shift, int& bits) {
    shift = 0;
    bits = 0;
    if (!mask) return;
    while (!(mask & 1)) {
        mask >>= 1;
        ++shift;
    }
    while (mask & 1) {
        mask >>= 1;
        ++bits;
    }
}

uint8_t channel(unsigned long pixel, int shift, int bits) {
    if (bits == 0) return 0;
    const unsigned long v = (pixel >> shift) & ((1ul << bits) - 1);
    return static_cast<uint8_t>(bits >= 8 ? v >> (bits - 8) : (v * 255) / ((1ul << bits) - 1));
}

} // namespace

bool Pixels::uniform() const {
    for (size_t i = 3; i + 2 < rgb.size(); i += 3)
        if (rgb[i] != rgb[0] || rgb[i + 1] != rgb[1] || rgb[i + 2] != rgb[2]) return false;
    return true;
}

HostWindow::HostWindow() {
    display_ = XOpenDisplay(nullptr);
    if (display_) XSetErrorHandler(countError);
}

HostWindow::~HostWindow() {
    if (!display_) return;
    if (window_) XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
}

bool HostWindow::fitsScreen(int width, int height) const {
    if (!display_) return false;
    const int screen = DefaultScreen(display_);
    return width <= DisplayWidth(display_, screen) && height <= DisplayHeight(display_, screen);
}

bool HostWindow::create(int width, int height, const std::string& title) {
    if (!display_ || window_) return false;
    width_ = width > 0 ? width : 1;
    height_ = height > 0 ? height : 1;
    const int screen = DefaultScreen(display_);
    window_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0, width_, height_, 0,
                                  BlackPixel(display_, screen), BlackPixel(display_, screen));
    XStoreName(display_, window_, title.c_str());
    deleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &deleteWindow_, 1);
    resize(width_, height_);
    XSelectInput(display_, window_, StructureNotifyMask);
    XMapWindow(display_, window_);
    // Hosts hand the editor a window that is already on screen.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    for (;;) {
        XEvent event;
        if (XCheckTypedWindowEvent(display_, window_, MapNotify, &event)) return true;
        if (std::chrono::steady_clock::now() > giveUp) return false;
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, 20);
    }
}

void HostWindow::resize(int width, int height) {
    if (!display_ || !window_ || width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    XSizeHints* hints = XAllocSizeHints();
    if (hints) {
        hints->flags = PMinSize | PMaxSize;
        hints->min_width = hints->max_width = width;
        hints->min_height = hints->max_height = height;
        XSetWMNormalHints(display_, window_, hints);
        XFree(hints);
    }
    XResizeWindow(display_, window_, width, height);
    XFlush(display_);
}

bool HostWindow::pumpEvents(int timeoutMs) {
    if (!display_) return false;
    if (!XPending(display_) && timeoutMs > 0) {
        pollfd fd{ConnectionNumber(display_), POLLIN, 0};
        poll(&fd, 1, timeoutMs);
    }
    while (XPending(display_)) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == ClientMessage && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow_)
            closeRequested_ = true;
        else if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
            // Destroyed by someone else: nothing left for us to destroy.
            closeRequested_ = true;
            window_ = 0;
        }
    }
    return !closeRequested_;
}

bool HostWindow::hasViewableChild() {
    if (!display_ || !window_) return false;
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window_, &root, &parent, &children, &count)) return false;
    bool viewable = false;
    for (unsigned i = 0; i < count && !viewable; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, children[i], &attributes))
            viewable = attributes.map_state == IsViewable;
    }
    if (children) XFree(children);
    return viewable;
}

bool HostWindow::grab(Pixels& out) {
    if (!display_ || !window_) return false;
    XSync(display_, False);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window_, &attributes)) return false;
    XImage* image = XGetImage(display_, window_, 0, 0, attributes.width, attributes.height, AllPlanes, ZPixmap);
    if (!image) return false;
    int rShift, rBits, gShift, gBits, bShift, bBits;
    maskShape(image->red_mask ? image->red_mask : attributes.visual->red_mask, rShift, rBits);
    maskShape(image->green_mask ? image->green_mask : attributes.visual->green_mask, gShift, gBits);
    maskShape(image->blue_mask ? image->blue_mask : attributes.visual->blue_mask, bShift, bBits);
    out.width = image->width;
    out.height = image->height;
    out.rgb.resize(static_cast<size_t>(out.width) * out.height * 3);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            uint8_t* p = &out.rgb[(static_cast<size_t>(y) * out.width + x) * 3];
            p[0] = channel(pixel, rShift, rBits);
            p[1] = channel(pixel, gShift, gBits);
            p[2] = channel(pixel, bShift, bBits);
        }
    XDestroyImage(image);
    return true;
}

int HostWindow::errorCount() const { return protocolErrors; }

} // namespace ka813::paneltool
