#include "UiHost.h"

#include <dlfcn.h>
#include <lv2/atom/atom.h>

#include <cmath>
#include <cstring>
#include <map>

#include "editor/PanelLayout.h"
#include "lv2/Ports.h"
#include "tests/editor/ShownImage.h"

namespace ka813::lv2uitest {

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

int shownImage(paneltest::TestDisplay& display, ::Window window, int tag) {
    return paneltest::shownImage(display, window, tag);
}

int shownLight(paneltest::TestDisplay& display, ::Window window, ka813::PanelMeter meter) {
    return paneltest::shownLight(display, window, meter);
}

bool idleUntilPainted(UiHost& host, paneltest::TestDisplay& display) {
    const paneltest::Picture& back = paneltest::resourcePicture(ka813::kBackgroundImage);
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

}  // namespace ka813::lv2uitest
