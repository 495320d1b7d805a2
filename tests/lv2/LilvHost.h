// The LV2 bundle the build made, loaded through lilv as a host loads it: a
// world that knows that bundle alone, and instances of the plug-in with
// every control port connected to a value of their own.
#pragma once

#include <gtest/gtest.h>
#include <lilv/lilv.h>

#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "lv2/Ports.h"
#include "tools/host/UridMap.h"

namespace ka813::test {

inline std::string bundleDir()
{
    if (const char* dir = std::getenv("KA813_LV2_BUNDLE"))
        return dir;
    return KA813_LV2_BUNDLE;
}

struct LilvHost {
    LilvWorld* world = lilv_world_new();
    const LilvPlugin* plugin = nullptr;
    ka813::UridMap urids;

    LilvHost()
    {
        std::string dir = bundleDir();
        if (dir.empty() || dir.back() != '/')
            dir += '/';
        LilvNode* bundle = lilv_new_file_uri(world, nullptr, dir.c_str());
        lilv_world_load_bundle(world, bundle);
        lilv_node_free(bundle);
        LilvNode* uri = lilv_new_uri(world, ka813::lv2::kPluginUri);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
        EXPECT_TRUE(plugin) << "no " << ka813::lv2::kPluginUri << " in " << dir;
    }
    ~LilvHost() { lilv_world_free(world); }
    LilvHost(const LilvHost&) = delete;
    LilvHost& operator=(const LilvHost&) = delete;

    // The index of the port with this symbol, or -1.
    int32_t portIndex(const char* symbol) const
    {
        LilvNode* node = lilv_new_string(world, symbol);
        const LilvPort* port = lilv_plugin_get_port_by_symbol(plugin, node);
        lilv_node_free(node);
        return port ? static_cast<int32_t>(lilv_port_get_index(plugin, port)) : -1;
    }
};

// One instance of the plug-in; its control ports read values, its latency
// port writes one, kept here by port index.
struct Lv2Instance {
    LilvHost& host;
    LilvInstance* instance = nullptr;
    std::vector<float> ports;

    Lv2Instance(LilvHost& host, double rate) : host(host)
    {
        const uint32_t count = lilv_plugin_get_num_ports(host.plugin);
        ports.assign(count, 0.f);
        std::vector<float> defaults(count, 0.f);
        lilv_plugin_get_port_ranges_float(host.plugin, nullptr, nullptr, defaults.data());
        const LV2_Feature* features[] = {&host.urids.feature, nullptr};
        instance = lilv_plugin_instantiate(host.plugin, rate, features);
        EXPECT_TRUE(instance) << "the plug-in does not instantiate at " << rate << " Hz";
        for (uint32_t i = ka813::lv2::kNumAudioPorts; i < count; ++i) {
            ports[i] = std::isnan(defaults[i]) ? 0.f : defaults[i];
            lilv_instance_connect_port(instance, i, &ports[i]);
        }
    }
    ~Lv2Instance()
    {
        if (instance)
            lilv_instance_free(instance);
    }
    Lv2Instance(const Lv2Instance&) = delete;
    Lv2Instance& operator=(const Lv2Instance&) = delete;

    float& control(const char* symbol)
    {
        const int32_t index = host.portIndex(symbol);
        EXPECT_GE(index, 0) << "no port " << symbol;
        return ports.at(static_cast<size_t>(index < 0 ? 0 : index));
    }
    float& port(uint32_t index) { return ports.at(index); }
    float latency() const { return ports.at(ka813::lv2::kLatencyPort); }

    void connectAudio(const float* inLeft, const float* inRight, float* outLeft, float* outRight)
    {
        using namespace ka813::lv2;
        lilv_instance_connect_port(instance, kInputLeft, const_cast<float*>(inLeft));
        lilv_instance_connect_port(instance, kInputRight, const_cast<float*>(inRight));
        lilv_instance_connect_port(instance, kOutputLeft, outLeft);
        lilv_instance_connect_port(instance, kOutputRight, outRight);
    }
    void activate() { lilv_instance_activate(instance); }
    void deactivate() { lilv_instance_deactivate(instance); }
    void run(uint32_t frames) { lilv_instance_run(instance, frames); }
};

}  // namespace ka813::test
