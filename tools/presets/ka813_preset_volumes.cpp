// Finds each factory preset's Volume: the value that puts the preset at
// -18 LUFS integrated on the built-in riff, through the LV2 plug-in as lilv
// loads it from the bundle. The figures go into lv2/Presets.cpp by hand.
#include <ebur128.h>
#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "lv2/ModeValues.h"
#include "lv2/Ports.h"
#include "tools/host/UridMap.h"
#include "lv2/Presets.h"
#include "tools/render/GuitarRiff.h"

using namespace ka813;
using namespace ka813::lv2;

namespace {

constexpr double kRate = 44100.0;
constexpr double kTarget = -18.0;  // LUFS integrated
constexpr uint32_t kBlock = 512;
constexpr int kBisections = 18;

const char* const kUsage =
    "Usage: ka813-preset-volumes [--bundle DIR]\n"
    "For each factory preset, finds by bisection the Volume that puts it at -18 LUFS\n"
    "integrated on the built-in guitar riff (44.1 kHz, blocks of 512), through the LV2\n"
    "plug-in loaded with lilv, and prints it with the loudness it gives and the loudness\n"
    "at Volume 1. The figures are for copying into lv2/Presets.cpp.\n"
    "\n"
    "  --bundle DIR   the LV2 bundle (default: the one this build lays out)\n"
    "  -h, --help     this text\n"
    "      --version  the version\n";

class Host {
public:
    explicit Host(std::string dir)
    {
        if (dir.empty() || dir.back() != '/')
            dir += '/';
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, dir.c_str());
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world, kPluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
    }
    ~Host() { lilv_world_free(world); }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    bool loaded() const { return plugin != nullptr; }

    // The riff through a fresh instance set to these controls; its loudness.
    double loudness(const ControlValues& controls, const std::vector<float>& riff)
    {
        const uint32_t count = lilv_plugin_get_num_ports(plugin);
        std::vector<float> ports(count, 0.f);
        const LV2_Feature* features[] = {&urids.feature, nullptr};
        LilvInstance* instance = lilv_plugin_instantiate(plugin, kRate, features);
        if (!instance)
            return NAN;
        for (uint32_t i = kNumAudioPorts; i < count; ++i)
            lilv_instance_connect_port(instance, i, &ports[i]);
        for (uint32_t i = 0; i < kNumControlPorts; ++i)
            ports[kFirstGlobalPort + i] = controls[i];
        std::vector<float> left(riff.size()), right(riff.size());
        lilv_instance_activate(instance);
        for (size_t start = 0; start < riff.size(); start += kBlock) {
            const uint32_t frames = static_cast<uint32_t>(std::min<size_t>(kBlock, riff.size() - start));
            lilv_instance_connect_port(instance, kInputLeft, const_cast<float*>(riff.data() + start));
            lilv_instance_connect_port(instance, kInputRight, const_cast<float*>(riff.data() + start));
            lilv_instance_connect_port(instance, kOutputLeft, left.data() + start);
            lilv_instance_connect_port(instance, kOutputRight, right.data() + start);
            lilv_instance_run(instance, frames);
        }
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
        return integratedLoudness(left, right);
    }

private:
    static double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right)
    {
        ebur128_state* state = ebur128_init(2, static_cast<unsigned long>(kRate), EBUR128_MODE_I);
        std::vector<float> frames(2 * left.size());
        for (size_t i = 0; i < left.size(); ++i) {
            frames[2 * i] = left[i];
            frames[2 * i + 1] = right[i];
        }
        ebur128_add_frames_float(state, frames.data(), left.size());
        double loudness = -HUGE_VAL;
        ebur128_loudness_global(state, &loudness);
        ebur128_destroy(&state);
        return loudness;
    }

    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;
    UridMap urids;
};

}  // namespace

int main(int argc, char** argv)
{
    std::string bundle = KA813_LV2_BUNDLE;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "-h" || argument == "--help") {
            std::printf("%s", kUsage);
            return 0;
        }
        if (argument == "--version") {
            std::printf("ka813-preset-volumes %s\n", KA813_VERSION);
            return 0;
        }
        if (argument == "--bundle" && i + 1 < argc) {
            bundle = argv[++i];
            continue;
        }
        std::fprintf(stderr, "ka813-preset-volumes: unknown argument %s\n%s", argument.c_str(), kUsage);
        return 2;
    }
    Host host(bundle);
    if (!host.loaded()) {
        std::fprintf(stderr, "ka813-preset-volumes: no %s in %s\n", kPluginUri, bundle.c_str());
        return 1;
    }
    const std::vector<float> riff = render::guitarRiff(kRate);
    for (uint32_t p = 0; p < kNumPresets; ++p) {
        ControlValues controls;
        presetControls(kPresets[p], controls);
        float& volume = controls[controlSlot(modePort(kPresets[p].mode, 6))];
        // Loudness rises with Volume.
        float low = 0.f, high = 1.f;
        for (int step = 0; step < kBisections; ++step) {
            volume = 0.5f * (low + high);
            (host.loudness(controls, riff) < kTarget ? low : high) = volume;
        }
        const float found = std::round(0.5f * (low + high) * 10000.f) / 10000.f;
        volume = found;
        const double atFound = host.loudness(controls, riff);
        volume = 1.f;
        const double atOne = host.loudness(controls, riff);
        std::printf("%-22s volume %.4f: %6.2f LUFS (at 1: %6.2f)\n", kPresets[p].label, found, atFound, atOne);
    }
    return 0;
}
