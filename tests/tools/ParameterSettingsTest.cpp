// --set NAME=VALUE as the renderer and the panel tool both read it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/host/ParameterSettings.h"

using namespace ka813;

namespace {

using vsthost::ParameterSetting;

TEST(ParameterSettings, ReadsNameOrIndexAndAFiniteNumber)
{
    const struct {
        const char* text;
        bool ok;
        const char* key;
        float value;
    } cases[] = {
        {"CHA Drive=0.8", true, "CHA Drive", 0.8f},
        {"20=0.25", true, "20", 0.25f},
        {"A=B=-1e-1", true, "A=B", -0.1f},  // the last '=' splits
        {"Volume=1", true, "Volume", 1.f},
        {"Volume", false, "", 0.f},
        {"=0.5", false, "", 0.f},
        {"Volume=", false, "", 0.f},
        {"Volume= 1", false, "", 0.f},
        {"Volume=loud", false, "", 0.f},
        {"Volume=0.5x", false, "", 0.f},
        {"Volume=inf", false, "", 0.f},
        {"Volume=nan", false, "", 0.f},
        {"Volume=1e999", false, "", 0.f},
    };
    for (const auto& c : cases) {
        ParameterSetting setting;
        std::string error;
        EXPECT_EQ(vsthost::parseParameterSetting(c.text, setting, &error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(setting.key, c.key);
            EXPECT_FLOAT_EQ(setting.value, c.value);
        } else {
            EXPECT_NE(error.find(c.text), std::string::npos) << error;
        }
    }
}

TEST(ParameterSettings, AnUnknownNameListsTheNames)
{
    const std::vector<std::string> names = {"Input", "Mix", "MIX"};
    EXPECT_EQ(vsthost::unknownParameterMessage(names, "Drive"),
              "the plug-in has no parameter \"Drive\"; its parameters are (by name or index):\n"
              "   0  Input\n   1  Mix\n   2  MIX");
    // Two names differ from "mix" only in case, so it is no name at all.
    EXPECT_EQ(vsthost::resolveParameter(names, "mix"), -1);
    EXPECT_NE(vsthost::unknownParameterMessage(names, "mix").find("2 names differ from it only in letter case"),
              std::string::npos);
    EXPECT_EQ(vsthost::unknownParameterMessage({}, "0"), "the plug-in has no parameter \"0\"; it has no parameters");
}

}  // namespace
