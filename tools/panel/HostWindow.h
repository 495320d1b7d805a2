// The top-level X11 window a host gives a plug-in editor to live in, with
// the few services the panel tool needs: events, the editor's child window
// and a read-back of what the X server shows.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace ka813::paneltool {

struct Pixels {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;  // 8-bit red, green, blue, rows top to bottom

    bool operator==(const Pixels& o) const { return width == o.width && height == o.height && rgb == o.rgb; }
    bool uniform() const;
};

class HostWindow {
public:
    // Opens its own connection to the display named by DISPLAY.
    HostWindow();
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    bool connected() const { return display_ != nullptr; }

    // Whether a window of that size, at the screen's top-left corner, lies on it whole.
    bool fitsScreen(int width, int height) const;

    // Creates and maps a fixed-size window and waits until it is shown.
    bool create(int width, int height, const std::string& title);
    void resize(int width, int height);
    Window window() const { return window_; }

    // Serves pending events, waiting up to `timeoutMs` for the first one.
    // Answers false once the user asked to close the window.
    bool pumpEvents(int timeoutMs);

    // True when the plug-in has put a mapped, viewable child into the window.
    bool hasViewableChild();

    // Reads back the window's contents, children included, as the server
    // shows them.
    bool grab(Pixels& out);

    // Any X protocol errors reported on our connection so far.
    int errorCount() const;

private:
    Display* display_ = nullptr;
    Window window_ = 0;
    Atom deleteWindow_ = 0;
    bool closeRequested_ = false;
    int width_ = 0, height_ = 0;
};

} // namespace ka813::paneltool
