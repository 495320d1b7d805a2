// Opens the editor of a VST 2 plug-in library in a window of its own, the
// way a Linux host does, and keeps it alive until the window is closed.
//
//   ka813-panel [--set NAME=VALUE]... [--scale 1|2] [--screenshot FILE] [--wait MS] PLUGIN.so
//
//   --set NAME=VALUE   sets a parameter before the editor opens; NAME is the
//                      parameter's name (case ignored) or its index
//   --scale 1|2        opens our panel at that many display pixels per layout
//                      pixel, whatever the display's resources say (through
//                      KA813_UI_SCALE); other plug-ins ignore it
//   --screenshot FILE  waits for the editor's first paint, writes what the
//                      window shows as a PNG file and exits; the X screen
//                      must hold the whole window
//   --wait MS          the longest wait for that paint (default 5000)

#include "HostWindow.h"
#include "PngFile.h"

#include "tools/host/VstHost.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <strings.h>
#include <vector>

using namespace paneltool;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kIdlePeriodMs = 20;      // hosts idle their editors at about 50 Hz
constexpr int kGrabPeriodMs = 60;
constexpr int kSettleMs = 250;         // a painted panel holds still this long

struct Options {
    std::string plugin;
    std::string screenshot;
    std::vector<std::string> sets;
    std::string scale;  // empty: the panel chooses
    int waitMs = 5000;
};

void usage() {
    std::fprintf(stderr,
                 "usage: ka813-panel [--set NAME=VALUE]... [--scale 1|2] [--screenshot FILE] [--wait MS] "
                 "PLUGIN.so\n");
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(a, "--set") && hasValue)
            o.sets.emplace_back(argv[++i]);
        else if (!std::strcmp(a, "--screenshot") && hasValue)
            o.screenshot = argv[++i];
        else if (!std::strcmp(a, "--wait") && hasValue)
            o.waitMs = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--scale") && hasValue)
            o.scale = argv[++i];
        else if (a[0] != '-' && o.plugin.empty())
            o.plugin = a;
        else
            return false;
    }
    return !o.plugin.empty() && o.waitMs > 0 && (o.scale.empty() || o.scale == "1" || o.scale == "2");
}

int findParameter(vsthost::Plugin& plugin, const std::string& name) {
    const int count = plugin.effect()->numParams;
    char* end = nullptr;
    const long index = std::strtol(name.c_str(), &end, 10);
    if (!name.empty() && *end == '\0') return index >= 0 && index < count ? static_cast<int>(index) : -1;
    for (int i = 0; i < count; ++i)
        if (!strcasecmp(plugin.parameterName(i).c_str(), name.c_str())) return i;
    return -1;
}

bool applySettings(vsthost::Plugin& plugin, const std::vector<std::string>& sets) {
    for (const std::string& s : sets) {
        const size_t eq = s.rfind('=');
        if (eq == std::string::npos) {
            std::fprintf(stderr, "ka813-panel: --set wants NAME=VALUE, not \"%s\"\n", s.c_str());
            return false;
        }
        const std::string name = s.substr(0, eq), text = s.substr(eq + 1);
        const int index = findParameter(plugin, name);
        char* end = nullptr;
        const float value = std::strtof(text.c_str(), &end);
        if (index < 0) {
            std::fprintf(stderr, "ka813-panel: no parameter \"%s\"\n", name.c_str());
            return false;
        }
        if (text.empty() || *end != '\0') {
            std::fprintf(stderr, "ka813-panel: \"%s\" is not a number\n", text.c_str());
            return false;
        }
        plugin.setParameter(index, value);
    }
    return true;
}

// The editor's size as the plug-in reports it; 0 x 0 when it has none yet.
void editorSize(vsthost::Plugin& plugin, int& width, int& height) {
    ERect* rect = nullptr;
    plugin.dispatch(effEditGetRect, 0, 0, &rect);
    width = rect ? rect->right - rect->left : 0;
    height = rect ? rect->bottom - rect->top : 0;
}

int msSince(Clock::time_point t) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

// Idles the editor until the window holds still after its first paint, then
// writes the window's pixels.
bool takeScreenshot(vsthost::Plugin& plugin, HostWindow& window, const Options& o) {
    const Clock::time_point start = Clock::now();
    Clock::time_point shownAt{}, lastGrab{};
    bool shown = false;
    Pixels previous, current;
    int stillGrabs = 0;
    while (msSince(start) < o.waitMs) {
        if (!window.pumpEvents(kIdlePeriodMs)) return false;
        plugin.dispatch(effEditIdle);
        if (!shown && window.hasViewableChild()) {
            shown = true;
            shownAt = Clock::now();
        }
        if (!shown || msSince(lastGrab) < kGrabPeriodMs) continue;
        lastGrab = Clock::now();
        if (!window.grab(current)) break;
        stillGrabs = current == previous ? stillGrabs + 1 : 0;
        previous.rgb.swap(current.rgb);
        previous.width = current.width;
        previous.height = current.height;
        const bool settled = stillGrabs * kGrabPeriodMs >= kSettleMs / 2 && msSince(shownAt) >= kSettleMs;
        if (settled && !previous.uniform()) {
            if (!writePng(previous, o.screenshot)) {
                std::fprintf(stderr, "ka813-panel: cannot write %s\n", o.screenshot.c_str());
                return false;
            }
            return true;
        }
    }
    std::fprintf(stderr, "ka813-panel: the editor did not paint within %d ms\n", o.waitMs);
    return false;
}

void runUntilClosed(vsthost::Plugin& plugin, HostWindow& window) {
    Clock::time_point due = Clock::now();
    for (;;) {
        const int wait = std::max(0, -msSince(due));
        if (!window.pumpEvents(wait)) return;
        if (Clock::now() >= due) {
            plugin.dispatch(effEditIdle);
            due += std::chrono::milliseconds(kIdlePeriodMs);
            if (Clock::now() > due) due = Clock::now();
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    Options o;
    if (!parseOptions(argc, argv, o)) {
        usage();
        return 2;
    }
    // The panel reads it when it opens.
    if (!o.scale.empty()) setenv("KA813_UI_SCALE", o.scale.c_str(), 1);
    // Declared before the plug-in, so that it outlives the editor inside it.
    HostWindow window;
    if (!window.connected()) {
        std::fprintf(stderr, "ka813-panel: cannot open the X display (is DISPLAY set?)\n");
        return 1;
    }
    std::string error;
    std::unique_ptr<vsthost::Plugin> plugin = vsthost::Plugin::load(o.plugin, &error);
    if (!plugin) {
        std::fprintf(stderr, "ka813-panel: %s\n", error.c_str());
        return 1;
    }
    if (!(plugin->effect()->flags & effFlagsHasEditor)) {
        std::fprintf(stderr, "ka813-panel: %s has no editor\n", o.plugin.c_str());
        return 1;
    }
    if (!applySettings(*plugin, o.sets)) return 1;

    int width = 0, height = 0;
    editorSize(*plugin, width, height);
    std::string title = plugin->effectName();
    if (title.empty()) title = o.plugin;
    if (!o.screenshot.empty() && !window.fitsScreen(width, height)) {
        std::fprintf(stderr, "ka813-panel: a %d x %d window does not fit the X screen, so it cannot be read back\n",
                     width, height);
        return 1;
    }
    if (!window.create(width, height, title)) {
        std::fprintf(stderr, "ka813-panel: cannot show a window\n");
        return 1;
    }
    plugin->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(window.window())));
    // Some editors know their size only once open.
    int openWidth = 0, openHeight = 0;
    editorSize(*plugin, openWidth, openHeight);
    if (openWidth > 0 && openHeight > 0 && (openWidth != width || openHeight != height))
        window.resize(openWidth, openHeight);

    bool ok = true;
    if (!o.screenshot.empty())
        ok = takeScreenshot(*plugin, window, o);
    else
        runUntilClosed(*plugin, window);

    plugin->dispatch(effEditClose);
    plugin.reset();
    return ok ? 0 : 1;
}
