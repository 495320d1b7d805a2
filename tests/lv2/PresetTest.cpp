// The factory presets: lilv finds each one in the bundle, loading it sets
// every control input to what the preset table says, and each one's loudness
// on the built-in riff is within 1 LU of -18 LUFS integrated.
#include <ebur128.h>
#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>

#include <cmath>
#include <cstdio>

#include "lv2/Presets.h"
#include "tests/lv2/Renders.h"
#include "tools/render/GuitarRiff.h"

using namespace ka813;
using namespace ka813::lv2;
using namespace ka813::test;

namespace {

constexpr double kRate = 44100.0;
constexpr double kTarget = -18.0;  // LUFS integrated
constexpr double kBound = 1.0;     // LU

const StereoSignal& riff()
{
    static const StereoSignal signal = [] {
        std::vector<float> x = render::guitarRiff(kRate);
        return StereoSignal{x, x};
    }();
    return signal;
}

double integratedLoudness(const StereoSignal& s)
{
    ebur128_state* state = ebur128_init(2, static_cast<unsigned long>(kRate), EBUR128_MODE_I);
    std::vector<float> frames(2 * s.left.size());
    for (size_t i = 0; i < s.left.size(); ++i) {
        frames[2 * i] = s.left[i];
        frames[2 * i + 1] = s.right[i];
    }
    ebur128_add_frames_float(state, frames.data(), s.left.size());
    double loudness = -HUGE_VAL;
    ebur128_loudness_global(state, &loudness);
    ebur128_destroy(&state);
    return loudness;
}

double loudnessOf(LilvHost& host, const ControlValues& controls)
{
    return integratedLoudness(renderLv2(host, kRate, controls, riff(), {512}, false));
}

// A preset's port values as lilv reads them from the bundle, by symbol.
std::map<std::string, float> loadPreset(LilvHost& host, const Preset& preset)
{
    std::map<std::string, float> values;
    LilvNode* uri = lilv_new_uri(host.world, presetUri(preset).c_str());
    lilv_world_load_resource(host.world, uri);
    LilvState* state = lilv_state_new_from_world(host.world, &host.urids.map, uri);
    lilv_node_free(uri);
    EXPECT_TRUE(state) << "lilv cannot load preset " << preset.label;
    if (!state)
        return values;
    EXPECT_STREQ(lilv_state_get_label(state), preset.label);
    EXPECT_STREQ(lilv_node_as_uri(lilv_state_get_plugin_uri(state)), kPluginUri);
    struct Emit {
        std::map<std::string, float>* values;
        LV2_URID floatType;
    } emit{&values, UridMap::mapUri(&host.urids, LV2_ATOM__Float)};
    lilv_state_emit_port_values(
        state,
        [](const char* symbol, void* data, const void* value, uint32_t size, uint32_t type) {
            Emit& e = *static_cast<Emit*>(data);
            EXPECT_EQ(type, e.floatType) << symbol;
            EXPECT_EQ(size, sizeof(float)) << symbol;
            if (type == e.floatType && size == sizeof(float))
                (*e.values)[symbol] = *static_cast<const float*>(value);
        },
        &emit);
    lilv_state_free(state);
    return values;
}

}  // namespace

TEST(Presets, AtLeastTwoPerModeAndTheDefaults)
{
    int32_t perMode[kNumAmpModes] = {};
    bool defaults = false;
    for (uint32_t p = 0; p < kNumPresets; ++p) {
        ++perMode[kPresets[p].mode];
        ControlValues controls, standard;
        presetControls(kPresets[p], controls);
        defaultControls(standard);
        // The port defaults exactly.
        defaults = defaults || std::memcmp(controls, standard, sizeof controls) == 0;
    }
    EXPECT_TRUE(defaults);
    for (int32_t m = 0; m < kNumAmpModes; ++m)
        EXPECT_GE(perMode[m] - (m == kModeAClean && defaults ? 1 : 0), 2) << kModeMap.modes[m].name;
}

// A host inserting the plug-in sets every port to the default the bundle
// gives: each mode there, chosen by its switches, sounds at -18 LUFS, and
// what comes out at first peaks below full scale.
TEST(Presets, EachModeAtThePortDefaultsIsWithinOneLuOfMinus18Lufs)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    std::vector<float> defaults(kNumPorts);
    lilv_plugin_get_port_ranges_float(host.plugin, nullptr, nullptr, defaults.data());
    for (int32_t m = 0; m < kNumAmpModes; ++m) {
        ControlValues controls;
        std::copy(defaults.begin() + kFirstGlobalPort, defaults.begin() + kFirstGlobalPort + kNumControlPorts, controls);
        const bool inserted = selectedModes(controls).active == AmpMode(m);
        for (int32_t modeSwitch : kModeSwitches)
            controls[controlSlot(globalPort(modeSwitch))] = switchValueFor(AmpMode(m), modeSwitch);
        const StereoSignal out = renderLv2(host, kRate, controls, riff(), {512}, false);
        double peak = 0.0;
        for (const std::vector<float>* side : {&out.left, &out.right})
            for (float v : *side)
                peak = std::max(peak, static_cast<double>(std::fabs(v)));
        const double loudness = integratedLoudness(out);
        std::printf("%-11s defaults: %6.2f LUFS, peak %6.2f dBFS%s\n", kModeMap.modes[m].name, loudness,
                    20.0 * std::log10(peak), inserted ? " (as inserted)" : "");
        EXPECT_NEAR(loudness, kTarget, kBound) << kModeMap.modes[m].name;
        if (inserted) {
            EXPECT_LT(peak, 1.0);
        }
    }
}

TEST(Presets, LoadThroughLilvAndSetWhatTheySay)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    LilvNode* presetClass = lilv_new_uri(host.world, LV2_PRESETS__Preset);
    LilvNodes* related = lilv_plugin_get_related(host.plugin, presetClass);
    EXPECT_EQ(lilv_nodes_size(related), kNumPresets);
    lilv_nodes_free(related);
    lilv_node_free(presetClass);
    for (uint32_t p = 0; p < kNumPresets; ++p) {
        const Preset& preset = kPresets[p];
        SCOPED_TRACE(preset.label);
        const std::map<std::string, float> values = loadPreset(host, preset);
        ControlValues expected;
        presetControls(preset, expected);
        EXPECT_EQ(values.size(), kNumControlPorts);
        // Applied to an instance by symbol, the preset sets every port so.
        Lv2Instance plugin(host, kRate);
        for (const auto& [symbol, value] : values)
            plugin.control(symbol.c_str()) = value;
        for (uint32_t i = 0; i < kNumControlPorts; ++i)
            EXPECT_EQ(plugin.port(kFirstGlobalPort + i), expected[i]) << "port " << kFirstGlobalPort + i;
    }
}

TEST(Presets, EachIsWithinOneLuOfMinus18LufsOnTheRiff)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    for (uint32_t p = 0; p < kNumPresets; ++p) {
        ControlValues controls;
        presetControls(kPresets[p], controls);
        const double loudness = loudnessOf(host, controls);
        std::printf("%-22s %-11s %6.2f LUFS\n", kPresets[p].label, kModeMap.modes[kPresets[p].mode].name, loudness);
        EXPECT_NEAR(loudness, kTarget, kBound) << kPresets[p].label;
    }
}
