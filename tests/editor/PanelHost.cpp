#include "PanelHost.h"

#include <cmath>
#include <map>

#include "editor/CBitmap.h"
#include "editor/PanelImages.h"
#include "editor/platform/Platform.h"

namespace ka813::paneltest {

void PanelHost::SetUp() {
    ASSERT_TRUE(display.ok()) << "no X display";
    plugin = loadPlugin();
    ASSERT_TRUE(plugin);
    parent = display.createParent(parentX, parentY, 720 * scale, 280 * scale, 0xff00ff);
}

void PanelHost::TearDown() {
    if (plugin) {
        plugin->dispatch(effEditClose);
        plugin.reset();
    }
    if (parent)
        display.destroy(parent);
}

std::unique_ptr<vsthost::Plugin> PanelHost::loadPlugin() {
    std::string error;
    auto loaded = vsthost::Plugin::load(test::pluginPath(), &error);
    EXPECT_TRUE(loaded) << error;
    return loaded;
}

bool PanelHost::open(vsthost::Plugin& host, ::Window parentWindow) {
    return host.dispatch(effEditOpen, 0, 0,
                         reinterpret_cast<void*>(static_cast<uintptr_t>(parentWindow))) == 1;
}

::Window PanelHost::child(::Window parentWindow) {
    const auto list = display.children(parentWindow ? parentWindow : parent);
    return list.empty() ? 0 : list.front();
}

bool PanelHost::idleUntilPainted() {
    const Picture& background = resourcePicture(ka813::kBackgroundImage, scale);
    if (background.bgra.empty())
        return false;
    // A spot of bare background, away from every control.
    const int x = 20 * scale, y = 20 * scale;
    const uint8_t* expected = &background.bgra[4 * (y * background.width + x)];
    return waitFor(
        [&] {
            const ::Window c = child();
            if (!c)
                return false;
            const Rgb p = display.pixel(c, x, y);
            return p.red == expected[2] && p.green == expected[1] && p.blue == expected[0];
        },
        [&] { idle(); });
}

int PanelHost::shownImage(int tag, double* meanError) {
    return paneltest::shownImage(display, child(), tag, scale, meanError);
}

void PanelHost::click(int x, int y) {
    display.movePointer(screenX(x), screenY(y));
    display.button(1, true);
    display.button(1, false);
}

std::function<void(TestDisplay&)> PanelHost::moveTo(int x, int y) {
    const int sx = screenX(x), sy = screenY(y);
    return [sx, sy](TestDisplay& d) { d.movePointer(sx, sy); };
}

void PanelHost::drag(int x, int y, const std::vector<std::function<void(TestDisplay&)>>& moves) {
    plugin->clearLog();
    display.movePointer(screenX(x), screenY(y));
    display.button(1, true);
    std::atomic<bool> finished{false};
    std::thread injector([&] {
        TestDisplay input;
        waitFor([&] { return countRequests(audioMasterBeginEdit) > 0; });
        for (const auto& move : moves) {
            move(input);
            // Two host idles later the tracking loop has certainly seen the move.
            const size_t target = countRequests(audioMasterIdle) + 2;
            waitFor([&] { return countRequests(audioMasterIdle) >= target; });
        }
        input.button(1, false);
        finished = true;
    });
    waitFor([&] { return finished.load(); }, [&] { idle(); });
    injector.join();
    idle();
}

}  // namespace ka813::paneltest
