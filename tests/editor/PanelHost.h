#pragma once
// A host's view of the plug-in's panel: the built library loaded with the host
// library, its editor opened in a window of ours, and what the screen shows.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "editor/PanelLayout.h"
#include "tests/shell/PluginPath.h"
#include "tools/host/VstHost.h"
// After the layout: Xlib's macros (None among them) would clash with its names.
#include "ShownImage.h"
#include "XTestSupport.h"

namespace ka813::paneltest {


class PanelHost : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    std::unique_ptr<vsthost::Plugin> loadPlugin();
    bool open(vsthost::Plugin& host, ::Window parentWindow);
    void idle() { plugin->dispatch(effEditIdle); }
    // Idles until the panel has been painted (its background is on screen).
    bool idleUntilPainted();
    ::Window child(::Window parentWindow = 0);

    // The image (0..100 for knobs, 0 or 1 for switches) that best explains
    // what the window shows over the control, and how well it does: the
    // images of the panel's scale over its background.
    int shownImage(int tag, double* meanError = nullptr);

    // Points of the panel are given in its layout's pixels; the pointer goes
    // to the display pixel that shows them.
    int screenX(int x) const { return parentX + x * scale; }
    int screenY(int y) const { return parentY + y * scale; }
    // Left click at a point of the panel, pressed and released at once.
    void click(int x, int y);
    // Presses over (x, y) and runs `moves` on another connection while the
    // control tracks the mouse; each move is given a few passes of the host's
    // idle before the next, then the button is released.
    void drag(int x, int y, const std::vector<std::function<void(TestDisplay&)>>& moves);
    std::function<void(TestDisplay&)> moveTo(int x, int y);
    size_t countRequests(int32_t opcode) { return plugin->requests(opcode).size(); }

    // Set before SetUp: the scale the panel is expected at, and where the
    // host's window sits on the screen (it is sized for the scale).
    int scale = 1;
    int parentX = 100, parentY = 300;

    TestDisplay display;
    std::unique_ptr<vsthost::Plugin> plugin;
    ::Window parent = 0;
};

}  // namespace ka813::paneltest
