// The bundle as lilv reads it, from the UI's side: the plug-in names one X11
// UI, in the binary the build made, asking only for what the UI does without
// and offering what it reads. Skipped while the build made no bundle
// description.
#include <gtest/gtest.h>
#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <cstdlib>
#include <set>
#include <string>

#include "lv2/Ports.h"

namespace {

std::string bundleDir() {
    const char* dir = std::getenv("KA813_LV2_BUNDLE");
    return std::string(dir ? dir : KA813_LV2_BUNDLE_DIR) + "/";
}

std::set<std::string> uris(const LilvNodes* nodes) {
    std::set<std::string> out;
    LILV_FOREACH (nodes, i, nodes)
        out.insert(lilv_node_as_uri(lilv_nodes_get(nodes, i)));
    return out;
}

TEST(LV2UiBundle, NamesTheX11UiInTheBuiltBinary) {
    const std::string dir = bundleDir();
    if (FILE* manifest = std::fopen((dir + "manifest.ttl").c_str(), "r"))
        std::fclose(manifest);
    else
        GTEST_SKIP() << "no bundle description in " << dir;

    LilvWorld* world = lilv_world_new();
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, dir.c_str());
    lilv_world_load_bundle(world, bundle);
    LilvNode* pluginUri = lilv_new_uri(world, ka813::lv2::kPluginUri);
    const LilvPlugin* plugin =
        lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), pluginUri);
    ASSERT_TRUE(plugin);

    LilvUIs* uis = lilv_plugin_get_uis(plugin);
    ASSERT_EQ(lilv_uis_size(uis), 1u);
    const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
    EXPECT_STREQ(lilv_node_as_uri(lilv_ui_get_uri(ui)), ka813::lv2::kUiUri);

    LilvNode* x11 = lilv_new_uri(world, LV2_UI__X11UI);
    EXPECT_TRUE(lilv_ui_is_a(ui, x11));
    char* binary = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
    EXPECT_STREQ(binary, (dir + "ka813_ui.so").c_str());
    lilv_free(binary);

    // What the UI needs and offers, as the description tells hosts.
    struct Property {
        const char* predicate;
        std::set<std::string> expected;
    };
    const Property kProperties[] = {
        {LV2_CORE__requiredFeature, {LV2_UI__idleInterface}},
        {LV2_CORE__optionalFeature,
         {LV2_UI__parent, LV2_UI__resize, LV2_UI__touch, LV2_OPTIONS__options}},
        {LV2_CORE__extensionData, {LV2_UI__idleInterface}},
    };
    LilvNode* subject = lilv_new_uri(world, ka813::lv2::kUiUri);
    for (const Property& property : kProperties) {
        LilvNode* predicate = lilv_new_uri(world, property.predicate);
        LilvNodes* found = lilv_world_find_nodes(world, subject, predicate, nullptr);
        const std::set<std::string> got = uris(found);
        if (std::string(property.predicate) == LV2_CORE__optionalFeature) {
            for (const std::string& uri : property.expected)
                EXPECT_TRUE(got.count(uri)) << property.predicate << " lacks " << uri;
        } else {
            EXPECT_EQ(got, property.expected) << property.predicate;
        }
        lilv_nodes_free(found);
        lilv_node_free(predicate);
    }

    lilv_node_free(subject);
    lilv_node_free(x11);
    lilv_uis_free(uis);
    lilv_node_free(pluginUri);
    lilv_node_free(bundle);
    lilv_world_free(world);
}

}  // namespace
