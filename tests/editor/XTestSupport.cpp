#include "XTestSupport.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <png.h>

#include <chrono>
#include <thread>

namespace ka813::paneltest {

TestDisplay::TestDisplay() { display = XOpenDisplay(nullptr); }

TestDisplay::~TestDisplay() {
    if (display) {
        // Leave no button or modifier held for whoever runs next.
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, 0xffe1 /* Shift_L */), False, 0);
        XTestFakeKeyEvent(display, XKeysymToKeycode(display, 0xffe3 /* Control_L */), False, 0);
        XTestFakeButtonEvent(display, 1, False, 0);
        XSync(display, False);
        XCloseDisplay(display);
    }
}

::Window TestDisplay::createParent(int x, int y, int width, int height, unsigned long background) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = background;
    attributes.event_mask = StructureNotifyMask;
    const int screen = DefaultScreen(display);
    ::Window window = XCreateWindow(display, RootWindow(display, screen), x, y,
                                    static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                    CopyFromParent, InputOutput, CopyFromParent,
                                    CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(display, window);
    XEvent event;
    do {
        XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
    XSync(display, False);
    return window;
}

void TestDisplay::setResources(const std::string& text) {
    const ::Window root = DefaultRootWindow(display);
    if (text.empty())
        XDeleteProperty(display, root, XA_RESOURCE_MANAGER);
    else
        XChangeProperty(display, root, XA_RESOURCE_MANAGER, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(text.c_str()), static_cast<int>(text.size()));
    XSync(display, False);
}

void TestDisplay::destroy(::Window window) {
    XDestroyWindow(display, window);
    XSync(display, False);
}

std::vector<::Window> TestDisplay::children(::Window window) {
    ::Window root = 0, parent = 0, *list = nullptr;
    unsigned count = 0;
    std::vector<::Window> result;
    if (XQueryTree(display, window, &root, &parent, &list, &count)) {
        result.assign(list, list + count);
        if (list)
            XFree(list);
    }
    return result;
}

bool TestDisplay::isMapped(::Window window) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    return attributes.map_state != IsUnmapped;
}

void TestDisplay::size(::Window window, int* width, int* height) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    *width = attributes.width;
    *height = attributes.height;
}

std::vector<uint32_t> TestDisplay::grab(::Window window, int x, int y, int width, int height) {
    std::vector<uint32_t> pixels;
    XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.reserve(static_cast<size_t>(width) * height);
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column)
            pixels.push_back(static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xffffffu);
    XDestroyImage(image);
    return pixels;
}

Rgb TestDisplay::pixel(::Window window, int x, int y) {
    const auto p = grab(window, x, y, 1, 1);
    if (p.empty())
        return {-1, -1, -1};
    return {static_cast<int>(p[0] >> 16 & 0xff), static_cast<int>(p[0] >> 8 & 0xff),
            static_cast<int>(p[0] & 0xff)};
}

void TestDisplay::movePointer(int screenX, int screenY) {
    XTestFakeMotionEvent(display, DefaultScreen(display), screenX, screenY, 0);
    XSync(display, False);
}

void TestDisplay::button(unsigned number, bool press) {
    XTestFakeButtonEvent(display, number, press ? True : False, 0);
    XSync(display, False);
}

void TestDisplay::key(unsigned long keysym, bool press) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, keysym), press ? True : False, 0);
    XSync(display, False);
}

void TestDisplay::sync() { XSync(display, False); }

std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgba,
                               bool withAlpha) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    std::vector<uint8_t> source;
    if (withAlpha) {
        image.format = PNG_FORMAT_RGBA;
        source = rgba;
    } else {
        image.format = PNG_FORMAT_RGB;
        for (size_t i = 0; i + 3 < rgba.size(); i += 4)
            source.insert(source.end(), {rgba[i], rgba[i + 1], rgba[i + 2]});
    }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, source.data(), 0, nullptr);
    std::vector<uint8_t> out(size);
    if (!png_image_write_to_memory(&image, out.data(), &size, 0, source.data(), 0, nullptr))
        out.clear();
    out.resize(size);
    return out;
}

bool waitFor(const std::function<bool()>& done, const std::function<void()>& step, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        if (step)
            step();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace ka813::paneltest
