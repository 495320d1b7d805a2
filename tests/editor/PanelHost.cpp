#include "PanelHost.h"

#include <cmath>
#include <map>

#include "editor/CBitmap.h"
#include "editor/PanelImages.h"
#include "editor/platform/Platform.h"

namespace paneltest {

const Picture& resourcePicture(int id, int scale) {
    static std::map<std::pair<int, int>, Picture> cache;
    auto found = cache.find({id, scale});
    if (found != cache.end())
        return found->second;
    Picture& picture = cache[{id, scale}];
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (VSTGUI::findPanelImage(id, &data, &size, scale)) {
        VSTGUI::CBitmap bitmap(data, size);
        if (bitmap.isLoaded()) {
            picture.width = bitmap.getImage()->width();
            picture.height = bitmap.getImage()->height();
            for (int y = 0; y < picture.height; ++y) {
                const uint8_t* row = bitmap.getImage()->row(y);
                picture.bgra.insert(picture.bgra.end(), row, row + 4 * picture.width);
            }
        }
    }
    return picture;
}

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
    auto loaded = vsthost::Plugin::load(pluginPath(), &error);
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
    const ka813::PanelControl& control = *ka813::panelControl(tag);
    const Picture& background = resourcePicture(ka813::kBackgroundImage, scale);
    const Picture& strip = resourcePicture(control.image, scale);
    const int frames = ka813::framesOf(control.kind);
    const int width = strip.width, height = strip.height / frames;
    const int left = control.left * scale, top = control.top * scale;
    const auto shown = display.grab(child(), left, top, width, height);
    if (shown.size() != static_cast<size_t>(width * height) || background.bgra.empty())
        return -1;
    int best = -1;
    double bestError = 1e30;
    for (int frame = 0; frame < frames; ++frame) {
        double error = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* s = &strip.bgra[4 * ((frame * height + y) * width + x)];
                const uint8_t* d =
                    &background.bgra[4 * ((top + y) * background.width + left + x)];
                const uint32_t p = shown[static_cast<size_t>(y * width + x)];
                const int got[3] = {static_cast<int>(p & 0xff), static_cast<int>(p >> 8 & 0xff),
                                    static_cast<int>(p >> 16 & 0xff)};
                for (int c = 0; c < 3; ++c) {
                    // Premultiplied source over the background.
                    const double want = s[c] + d[c] * (255.0 - s[3]) / 255.0;
                    error += std::fabs(want - got[c]);
                }
            }
        if (error < bestError) {
            bestError = error;
            best = frame;
        }
    }
    if (meanError)
        *meanError = bestError / (3.0 * width * height);
    return best;
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

}  // namespace paneltest
