#include "UiHost.h"

#include <dlfcn.h>
#include <lv2/atom/atom.h>

#include <cmath>
#include <cstring>
#include <map>

#include "editor/PanelLayout.h"
#include "lv2/Ports.h"
#include "editor/CBitmap.h"
#include "editor/PanelImages.h"
#include "editor/platform/Platform.h"

namespace lv2uitest {

UiHost::UiHost(const std::string& binary) {
    library = dlopen(binary.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        failure = dlerror();
        return;
    }
    using Entry = const LV2UI_Descriptor* (*)(uint32_t);
    const auto entry = reinterpret_cast<Entry>(dlsym(library, "lv2ui_descriptor"));
    if (!entry) {
        failure = "no lv2ui_descriptor";
        return;
    }
    ui = entry(0);
    if (!ui)
        failure = "no descriptor 0";
}

UiHost::~UiHost() {
    cleanup();
    if (library)
        dlclose(library);
}

bool UiHost::instantiate(::Window parent, const Offer& offer) {
    cleanup();
    scaleFactor = offer.scaleFactor;
    options[0] = {LV2_OPTIONS_INSTANCE, 0, mapUri(this, LV2_UI__scaleFactor), sizeof(float),
                  mapUri(this, LV2_ATOM__Float), &scaleFactor};
    options[1] = {LV2_OPTIONS_INSTANCE, 0, 0, 0, 0, nullptr};
    const LV2_Feature parentFeature{LV2_UI__parent, reinterpret_cast<void*>(parent)};
    const LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    const LV2_Feature mapFeature{LV2_URID__map, &map};
    const LV2_Feature touchFeature{LV2_UI__touch, &touch};
    const LV2_Feature resizeFeature{LV2_UI__resize, &resize};
    const LV2_Feature optionsFeature{LV2_OPTIONS__options, options};
    std::vector<const LV2_Feature*> features{&parentFeature, &idleFeature, &mapFeature};
    if (offer.touch)
        features.push_back(&touchFeature);
    if (offer.resize)
        features.push_back(&resizeFeature);
    if (offer.scaleFactor > 0)
        features.push_back(&optionsFeature);
    features.push_back(nullptr);

    LV2UI_Widget made = nullptr;
    handle = ui->instantiate(ui, ka813::lv2::kPluginUri, "/nowhere/ka813.lv2/", uiWrite, this,
                             &made, features.data());
    if (!handle)
        return false;
    panel = static_cast<::Window>(reinterpret_cast<uintptr_t>(made));
    idler = static_cast<const LV2UI_Idle_Interface*>(ui->extension_data(LV2_UI__idleInterface));
    return true;
}

void UiHost::cleanup() {
    if (handle)
        ui->cleanup(handle);
    handle = nullptr;
    idler = nullptr;
    panel = 0;
}

void UiHost::portEvent(uint32_t port, float value) {
    if (handle)
        ui->port_event(handle, port, sizeof value, 0, &value);
}

int UiHost::idle() { return handle && idler ? idler->idle(handle) : -1; }

std::vector<HostCall> UiHost::calls() const {
    std::lock_guard<std::mutex> lock(guard);
    return log;
}

size_t UiHost::countCalls(HostCall::Kind kind) const {
    std::lock_guard<std::mutex> lock(guard);
    size_t n = 0;
    for (const HostCall& call : log)
        n += call.kind == kind;
    return n;
}

void UiHost::clearCalls() {
    std::lock_guard<std::mutex> lock(guard);
    log.clear();
}

void UiHost::record(const HostCall& call) {
    std::lock_guard<std::mutex> lock(guard);
    log.push_back(call);
}

void UiHost::uiWrite(void* host, uint32_t port, uint32_t size, uint32_t format,
                         const void* buffer) {
    // Anything but a plain float is recorded as a NaN, for the test to see.
    const float value = format == 0 && size == sizeof(float) ? *static_cast<const float*>(buffer)
                                                             : std::nanf("");
    static_cast<UiHost*>(host)->record({HostCall::Write, port, value});
}

void UiHost::uiTouch(void* host, uint32_t port, bool grabbed) {
    static_cast<UiHost*>(host)->record({grabbed ? HostCall::Touch : HostCall::Release, port, 0});
}

int UiHost::uiResize(void* host, int width, int height) {
    auto* self = static_cast<UiHost*>(host);
    self->resizedWidth = width;
    self->resizedHeight = height;
    return 0;
}

LV2_URID UiHost::mapUri(void* host, const char* uri) {
    auto& uris = static_cast<UiHost*>(host)->uris;
    for (size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri)
            return static_cast<LV2_URID>(i + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

namespace {

// An image decoded as the panel decodes it: premultiplied, blue first.
struct Picture {
    int width = 0, height = 0;
    std::vector<uint8_t> bgra;
    const uint8_t* at(int x, int y) const { return &bgra[4 * (static_cast<size_t>(y) * width + x)]; }
};

const Picture& picture(int id) {
    static std::map<int, Picture> cache;
    auto found = cache.find(id);
    if (found != cache.end())
        return found->second;
    Picture& made = cache[id];
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (VSTGUI::findPanelImage(id, &data, &size)) {
        VSTGUI::CBitmap bitmap(data, size);
        if (bitmap.isLoaded()) {
            made.width = bitmap.getImage()->width();
            made.height = bitmap.getImage()->height();
            for (int y = 0; y < made.height; ++y) {
                const uint8_t* row = bitmap.getImage()->row(y);
                made.bgra.insert(made.bgra.end(), row, row + 4 * made.width);
            }
        }
    }
    return made;
}

}  // namespace

int shownImage(paneltest::TestDisplay& display, ::Window window, int tag) {
    const ka813::PanelControl* control = ka813::panelControl(tag);
    const Picture& back = picture(ka813::kBackgroundImage);
    const Picture& strip = picture(control ? control->image : 0);
    if (!control || back.bgra.empty() || strip.bgra.empty())
        return -1;
    const int frames = ka813::framesOf(control->kind);
    const int width = strip.width, height = strip.height / frames;
    const auto shown = display.grab(window, control->left, control->top, width, height);
    if (shown.size() != static_cast<size_t>(width * height))
        return -1;
    int best = -1;
    double bestError = 1e30;
    for (int frame = 0; frame < frames; ++frame) {
        double error = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* s = strip.at(x, frame * height + y);
                const uint8_t* d = back.at(control->left + x, control->top + y);
                const uint32_t p = shown[static_cast<size_t>(y * width + x)];
                const int got[3] = {static_cast<int>(p & 0xff), static_cast<int>(p >> 8 & 0xff),
                                    static_cast<int>(p >> 16 & 0xff)};
                for (int c = 0; c < 3; ++c)  // premultiplied over the background
                    error += std::fabs(s[c] + d[c] * (255.0 - s[3]) / 255.0 - got[c]);
            }
        if (error < bestError) {
            bestError = error;
            best = frame;
        }
    }
    return best;
}

bool idleUntilPainted(UiHost& host, paneltest::TestDisplay& display) {
    const Picture& back = picture(ka813::kBackgroundImage);
    if (back.bgra.empty())
        return false;
    const uint8_t* expected = back.at(20, 20);  // bare background, away from every control
    return paneltest::waitFor(
        [&] {
            const paneltest::Rgb p = display.pixel(host.widget(), 20, 20);
            return p.red == expected[2] && p.green == expected[1] && p.blue == expected[0];
        },
        [&] { host.idle(); });
}

}  // namespace lv2uitest
