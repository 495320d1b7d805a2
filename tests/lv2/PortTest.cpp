// What a host learns of the bundle through lilv: one plug-in, four audio
// ports, 45 control inputs whose symbols, ranges, defaults, groups and scale
// points are the parameter table's (but for the levelled Volume defaults),
// the latency output, the enabled switch, and the UI.
#include <lv2/ui/ui.h>

#include <map>
#include <set>
#include <string>

#include "lv2/ModeValues.h"
#include "tests/lv2/LilvHost.h"

using namespace ka813;
using namespace ka813::lv2;
using namespace ka813::test;

namespace {

std::string portSymbol(uint32_t port)
{
    if (port < kFirstModePort)
        return kGlobalSymbols[port - kFirstGlobalPort];
    const uint32_t m = (port - kFirstModePort) / kNumModeControls;
    return std::string(kModeMap.modes[m].symbol) + "_" + kModeMap.controls[(port - kFirstModePort) % kNumModeControls].symbol;
}

// The parameter a control input stands for, and its group's symbol.
int32_t portParameter(uint32_t port)
{
    if (port < kFirstModePort)
        return kGlobalParameters[port - kFirstGlobalPort];
    const uint32_t m = (port - kFirstModePort) / kNumModeControls;
    return modeParameter(AmpMode(m), int32_t((port - kFirstModePort) % kNumModeControls));
}

std::string groupSymbol(uint32_t port)
{
    if (port < kFirstModePort)
        return "switches";
    return kModeMap.modes[(port - kFirstModePort) / kNumModeControls].symbol;
}

struct Nodes {
    LilvWorld* world;
    std::vector<LilvNode*> made;
    LilvNode* uri(const char* text)
    {
        made.push_back(lilv_new_uri(world, text));
        return made.back();
    }
    ~Nodes()
    {
        for (LilvNode* n : made)
            lilv_node_free(n);
    }
};

}  // namespace

TEST(Ports, OnePluginWithFourAudioPortsAndTheTablesControls)
{
    LilvHost host;
    ASSERT_EQ(lilv_plugins_size(lilv_world_get_all_plugins(host.world)), 1u);
    ASSERT_TRUE(host.plugin);
    Nodes n{host.world, {}};
    LilvNode* audio = n.uri(LV2_CORE__AudioPort);
    LilvNode* control = n.uri(LV2_CORE__ControlPort);
    LilvNode* input = n.uri(LV2_CORE__InputPort);
    LilvNode* output = n.uri(LV2_CORE__OutputPort);
    LilvNode* integer = n.uri(LV2_CORE__integer);
    LilvNode* toggled = n.uri(LV2_CORE__toggled);
    LilvNode* groupProperty = n.uri("http://lv2plug.in/ns/ext/port-groups#group");
    LilvNode* symbolProperty = n.uri(LV2_CORE__symbol);

    EXPECT_EQ(lilv_plugin_get_num_ports(host.plugin), kNumPorts);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(host.plugin, audio, input, nullptr), 2u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(host.plugin, audio, output, nullptr), 2u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(host.plugin, control, input, nullptr), 46u);
    EXPECT_EQ(lilv_plugin_get_num_ports_of_class(host.plugin, control, output, nullptr), 3u);
    for (uint32_t i = 0; i < kNumAudioPorts; ++i)
        EXPECT_TRUE(lilv_port_is_a(host.plugin, lilv_plugin_get_port_by_index(host.plugin, i), audio));

    std::vector<float> minimum(kNumPorts), maximum(kNumPorts), defaults(kNumPorts);
    lilv_plugin_get_port_ranges_float(host.plugin, minimum.data(), maximum.data(), defaults.data());
    std::set<std::string> symbols;
    for (uint32_t port = kFirstGlobalPort; port < kLatencyPort; ++port) {
        const std::string symbol = portSymbol(port);
        SCOPED_TRACE(symbol);
        const LilvPort* p = lilv_plugin_get_port_by_index(host.plugin, port);
        ASSERT_TRUE(p);
        EXPECT_TRUE(lilv_port_is_a(host.plugin, p, control) && lilv_port_is_a(host.plugin, p, input));
        EXPECT_EQ(lilv_node_as_string(lilv_port_get_symbol(host.plugin, p)), symbol);
        symbols.insert(symbol);
        const ParameterInfo& info = *parameterInfo(portParameter(port));
        EXPECT_EQ(minimum[port], 0.f);
        EXPECT_EQ(maximum[port], 1.f);
        const bool isVolume = port >= kFirstModePort && (port - kFirstModePort) % kNumModeControls == kVolumeControl;
        EXPECT_EQ(defaults[port], isVolume ? kDefaultVolume[(port - kFirstModePort) / kNumModeControls] : info.defaultValue);
        // Its group, by the group's symbol.
        LilvNodes* groups = lilv_port_get_value(host.plugin, p, groupProperty);
        ASSERT_EQ(lilv_nodes_size(groups), 1u);
        LilvNodes* groupSymbols = lilv_world_find_nodes(host.world, lilv_nodes_get_first(groups), symbolProperty, nullptr);
        ASSERT_EQ(lilv_nodes_size(groupSymbols), 1u);
        EXPECT_EQ(lilv_node_as_string(lilv_nodes_get_first(groupSymbols)), groupSymbol(port));
        lilv_nodes_free(groupSymbols);
        lilv_nodes_free(groups);

        const bool isSwitch = info.kind == ParameterKind::Switch;
        EXPECT_EQ(lilv_port_has_property(host.plugin, p, integer), isSwitch);
        EXPECT_EQ(lilv_port_has_property(host.plugin, p, toggled), isSwitch);
        LilvScalePoints* points = lilv_port_get_scale_points(host.plugin, p);
        if (!isSwitch) {
            EXPECT_EQ(points, nullptr);
        } else {
            ASSERT_TRUE(points);
            std::map<float, std::string> labels;
            LILV_FOREACH (scale_points, i, points) {
                const LilvScalePoint* point = lilv_scale_points_get(points, i);
                labels[lilv_node_as_float(lilv_scale_point_get_value(point))] =
                    lilv_node_as_string(lilv_scale_point_get_label(point));
            }
            EXPECT_EQ(labels, (std::map<float, std::string>{{0.f, info.offLabel}, {1.f, info.onLabel}}));
        }
        lilv_scale_points_free(points);
    }
    EXPECT_EQ(symbols.size(), 45u);

    // The latency output, designated so.
    const LilvPort* latency = lilv_plugin_get_port_by_index(host.plugin, kLatencyPort);
    ASSERT_TRUE(latency);
    EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(host.plugin, latency)), kLatencySymbol);
    EXPECT_TRUE(lilv_port_is_a(host.plugin, latency, output));
    EXPECT_TRUE(lilv_plugin_has_latency(host.plugin));
    EXPECT_EQ(lilv_plugin_get_latency_port_index(host.plugin), kLatencyPort);

    // Indices hosts have saved sessions with stay where they were.
    const std::pair<uint32_t, const char*> kSaved[] = {{0, "in_left"}, {3, "out_right"}, {4, "channel"},
                                                       {8, "quality"}, {9, "a_clean_input"}, {15, "a_clean_volume"},
                                                       {40, "b_high_drive"}, {48, "b_high_bright"}, {49, "latency"}};
    for (const auto& [index, symbol] : kSaved)
        EXPECT_EQ(host.portIndex(symbol), static_cast<int32_t>(index)) << symbol;

    // The bypass switch after it, designated so: an integer toggle, on.
    const LilvPort* enabled = lilv_plugin_get_port_by_designation(host.plugin, input, n.uri(LV2_CORE__enabled));
    ASSERT_TRUE(enabled);
    EXPECT_EQ(lilv_port_get_index(host.plugin, enabled), kEnabledPort);
    EXPECT_EQ(kEnabledPort, 50u);
    EXPECT_STREQ(lilv_node_as_string(lilv_port_get_symbol(host.plugin, enabled)), kEnabledSymbol);
    EXPECT_TRUE(lilv_port_is_a(host.plugin, enabled, control));
    EXPECT_TRUE(lilv_port_has_property(host.plugin, enabled, integer));
    EXPECT_TRUE(lilv_port_has_property(host.plugin, enabled, toggled));
    EXPECT_EQ(minimum[kEnabledPort], 0.f);
    EXPECT_EQ(maximum[kEnabledPort], 1.f);
    EXPECT_EQ(defaults[kEnabledPort], 1.f);

    // Then the two levels, outputs in dB that hosts show as meters.
    LilvNode* db = n.uri("http://lv2plug.in/ns/extensions/units#db");
    LilvNode* unit = n.uri("http://lv2plug.in/ns/extensions/units#unit");
    for (const auto& [index, symbol] : {std::pair{kInputLevelPort, "input_level"}, {kOutputLevelPort, "output_level"}}) {
        SCOPED_TRACE(symbol);
        EXPECT_EQ(host.portIndex(symbol), static_cast<int32_t>(index));
        const LilvPort* p = lilv_plugin_get_port_by_index(host.plugin, index);
        ASSERT_TRUE(p);
        EXPECT_TRUE(lilv_port_is_a(host.plugin, p, control) && lilv_port_is_a(host.plugin, p, output));
        LilvNodes* units = lilv_port_get_value(host.plugin, p, unit);
        ASSERT_EQ(lilv_nodes_size(units), 1u);
        EXPECT_TRUE(lilv_node_equals(lilv_nodes_get_first(units), db));
        lilv_nodes_free(units);
        EXPECT_EQ(minimum[index], -70.f);
        EXPECT_EQ(maximum[index], 30.f);
    }
}

TEST(Ports, TheUiIsAnX11UiInTheBundle)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    Nodes n{host.world, {}};
    LilvUIs* uis = lilv_plugin_get_uis(host.plugin);
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    EXPECT_STREQ(lilv_node_as_uri(lilv_ui_get_uri(ui)), kUiUri);
    EXPECT_TRUE(lilv_ui_is_a(ui, n.uri(LV2_UI__X11UI)));
    const std::string binary = lilv_node_as_uri(lilv_ui_get_binary_uri(ui));
    EXPECT_EQ(binary.substr(binary.size() - 12), "/ka813_ui.so");
    lilv_uis_free(uis);
}

TEST(Ports, ThePluginNeedsNoFeature)
{
    LilvHost host;
    ASSERT_TRUE(host.plugin);
    LilvNodes* required = lilv_plugin_get_required_features(host.plugin);
    EXPECT_EQ(lilv_nodes_size(required), 0u);
    lilv_nodes_free(required);
    const std::string binary = lilv_node_as_uri(lilv_plugin_get_library_uri(host.plugin));
    EXPECT_EQ(binary.substr(binary.size() - 9), "/ka813.so");
}
