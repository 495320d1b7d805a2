#pragma once
// A host's side of the panel's LV2 UI, as a host that embeds X11 UIs loads it:
// the binary opened with dlopen, its descriptor instantiated in a window of
// ours with the features we choose to offer, driven with port events and the
// idle interface, and a log of everything the UI asks of the host.
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>
#include <lv2/options/options.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
// After the layout: Xlib's macros would clash with its names.
#include "tests/editor/XTestSupport.h"

namespace ka813::lv2uitest {

struct HostCall {
    enum Kind { Write, Touch, Release } kind;
    uint32_t port;
    float value;  // of a write
};

// What the host offers beyond ui:parent, ui:idleInterface and urid:map.
struct Offer {
    bool touch = true;
    bool resize = true;
    float scaleFactor = 0;  // 0: no ui:scaleFactor option
};

class UiHost {
public:
    explicit UiHost(const std::string& binary);
    ~UiHost();
    UiHost(const UiHost&) = delete;
    UiHost& operator=(const UiHost&) = delete;

    const std::string& error() const { return failure; }
    const LV2UI_Descriptor* descriptor() const { return ui; }

    // Instantiates the UI for our plug-in inside `parent`; false when the UI declines.
    bool instantiate(::Window parent, const Offer& offer = {});
    void cleanup();
    ::Window widget() const { return panel; }
    void portEvent(uint32_t port, float value);
    int idle();

    std::vector<HostCall> calls() const;
    size_t countCalls(HostCall::Kind kind) const;
    void clearCalls();
    // The size the UI last asked for through ui:resize, 0 x 0 before.
    int resizedWidth = 0, resizedHeight = 0;

private:
    static void uiWrite(void* host, uint32_t port, uint32_t size, uint32_t format,
                            const void* buffer);
    static void uiTouch(void* host, uint32_t port, bool grabbed);
    static int uiResize(void* host, int width, int height);
    static LV2_URID mapUri(void* host, const char* uri);
    void record(const HostCall& call);

    std::string failure;
    void* library = nullptr;
    const LV2UI_Descriptor* ui = nullptr;
    LV2UI_Handle handle = nullptr;
    const LV2UI_Idle_Interface* idler = nullptr;
    ::Window panel = 0;

    std::vector<std::string> uris;
    LV2_URID_Map map{this, mapUri};
    LV2UI_Touch touch{this, uiTouch};
    LV2UI_Resize resize{this, uiResize};
    float scaleFactor = 0;
    LV2_Options_Option options[2] = {};

    mutable std::mutex guard;  // the log is read by an input thread during a drag
    std::vector<HostCall> log;
};

// The frame of its image strip (0..100 for a knob, 0 or 1 for a switch) that
// best explains what `window` shows over the control with the tag, drawn at
// the plain scale over the panel's background; -1 when it cannot be read.
int shownImage(paneltest::TestDisplay& display, ::Window window, int tag);
// The same for the level light of a meter: 0 dark, 1 green, 2 amber, 3 red.
int shownLight(paneltest::TestDisplay& display, ::Window window, ka813::PanelMeter meter);

// Idles the UI until its background shows in its window.
bool idleUntilPainted(UiHost& host, paneltest::TestDisplay& display);

}  // namespace ka813::lv2uitest
