// Opens the editor of a VST 2 plug-in library in a window of its own, the
// way a Linux host does, and keeps it alive until the window is closed.
//
//   ka813-panel [--set NAME=VALUE]... [--scale 1|2] [--screenshot FILE] [--wait MS] PLUGIN.so
//
//   --set NAME=VALUE   sets a parameter before the editor opens; NAME is the
//                      parameter's name or its index, read as the renderer
//                      reads it
//   --scale 1|2        opens our panel at that many display pixels per layout
//                      pixel, whatever the display's resources say (through
//                      KA813_UI_SCALE); other plug-ins ignore it
//   --screenshot FILE  waits for the editor's first paint, writes what the
//                      window shows as a PNG file and exits; the X screen
//                      must hold the whole window
//   --wait MS          the longest wait for that paint (default 5000)

#include "HostWindow.h"
#include "PngFile.h"

#include "tools/host/ParameterSettings.h"
#include "tools/host/VstHost.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace ka813;
using namespace ka813::paneltool;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kIdlePeriodMs = 20;      // hosts idle their editors at about 50 Hz
constexpr int kGrabPeriodMs = 60;
constexpr int kSettleMs = 250;         // a painted panel holds still this long

struct Options {
    std::string plugin;
    std::string screenshot;
    std::vector<vsthost::ParameterSetting> sets;
    std::string scale;  // empty: the panel chooses
    int waitMs = 5000;
    bool help = false, version = false;
};

const char kUsage[] = "Usage: ka813-panel [--set NAME=VALUE]... [--scale 1|2] [--screenshot FILE] [--wait MS] PLUGIN.so\n";

void printHelp() {
    std::printf("%s", kUsage);
    std::printf("Opens the editor of a VST 2 plug-in in a window of its own, as a Linux host\n"
                "does, and keeps it open until the window is closed.\n"
                "\n"
                "  --set NAME=VALUE    set a parameter before the editor opens: NAME is its\n"
                "                      name as the plug-in reports it (or, when only one name\n"
                "                      matches so, in any letter case) or its index; repeat\n"
                "                      for more\n"
                "  --scale 1|2         open our panel at that many display pixels per layout\n"
                "                      pixel, whatever the display's resources say\n"
                "  --screenshot FILE   wait for the editor's first paint, write what the\n"
                "                      window shows as a PNG file and exit\n"
                "  --wait MS           the longest wait for that paint (default 5000)\n"
                "  -h, --help          this text\n"
                "      --version       the version\n"
                "\n"
                "It needs an X display (DISPLAY); xvfb-run gives one for screenshots.\n");
}

bool parseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        std::string error;
        if (!std::strcmp(a, "-h") || !std::strcmp(a, "--help")) {
            o.help = true;
            return true;
        } else if (!std::strcmp(a, "--version")) {
            o.version = true;
            return true;
        } else if (!std::strcmp(a, "--set") && hasValue) {
            o.sets.emplace_back();
            if (!vsthost::parseParameterSetting(argv[++i], o.sets.back(), &error)) {
                std::fprintf(stderr, "ka813-panel: %s\n", error.c_str());
                return false;
            }
        } else if (!std::strcmp(a, "--screenshot") && hasValue)
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
        std::fprintf(stderr, "%s", kUsage);
        return 2;
    }
    if (o.help) {
        printHelp();
        return 0;
    }
    if (o.version) {
        std::printf("ka813-panel %s\n", KA813_VERSION);
        return 0;
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
    if (!vsthost::applyParameterSettings(*plugin, vsthost::parameterNames(*plugin), o.sets, &error)) {
        std::fprintf(stderr, "ka813-panel: %s\n", error.c_str());
        return 1;
    }

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
