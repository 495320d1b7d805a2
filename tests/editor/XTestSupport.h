#pragma once
// What the panel tests need of the X server: a host-like parent window, input
// injected with XTest, and pixels read back from the screen.
#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ka813::paneltest {

struct Rgb {
    int red, green, blue;
};

class TestDisplay {
public:
    TestDisplay();
    ~TestDisplay();
    bool ok() const { return display != nullptr; }
    Display* get() const { return display; }

    // A top-level window as a host would make for an editor, mapped at (x, y) of the screen.
    ::Window createParent(int x, int y, int width, int height, unsigned long background = 0x202020);
    void destroy(::Window window);
    // The child windows of a window, in stacking order.
    std::vector<::Window> children(::Window window);
    bool isMapped(::Window window);
    void size(::Window window, int* width, int* height);

    // Replaces the server's resources (the root window's RESOURCE_MANAGER, as
    // xrdb sets it); an empty text removes them.
    void setResources(const std::string& text);

    // Reads a block of a window's pixels as 0xRRGGBB values, rows top-down.
    std::vector<uint32_t> grab(::Window window, int x, int y, int width, int height);
    Rgb pixel(::Window window, int x, int y);

    // Input through XTest, in screen coordinates of the pointer.
    void movePointer(int screenX, int screenY);
    void button(unsigned button, bool press);
    void key(unsigned long keysym, bool press);
    void sync();

private:
    Display* display = nullptr;
};

// Encodes straight-alpha RGBA pixels (rows top-down) as a PNG in memory.
std::vector<uint8_t> encodePng(int width, int height, const std::vector<uint8_t>& rgba,
                               bool withAlpha = true);

// Polls `done`, running `step` between polls, until it holds or `timeoutMs` passes.
bool waitFor(const std::function<bool()>& done, const std::function<void()>& step = {},
             int timeoutMs = 5000);

}  // namespace ka813::paneltest
