// Every text the effect hands the host, with its exact bound: canary bytes
// past the bound must survive.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/shell/PluginPath.h"
#include "tools/host/VstHost.h"

using namespace ka813;
using namespace ka813::test;

namespace {

constexpr unsigned char kCanary = 0xA5;
constexpr size_t kBufferSize = 128;

class StringAnswers : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        plugin = vsthost::Plugin::load(pluginPath(), &error);
        ASSERT_TRUE(plugin) << error;
    }

    // Runs the query on a canary-filled buffer and returns it.
    std::string query(int32_t opcode, int32_t index = 0, intptr_t* answer = nullptr)
    {
        std::memset(buffer, kCanary, sizeof buffer);
        intptr_t result = plugin->dispatch(opcode, index, 0, buffer);
        if (answer)
            *answer = result;
        return std::string(reinterpret_cast<char*>(buffer), sizeof buffer);
    }

    // The text, then NULs through byte `bound`, then untouched canaries.
    void expectPadded(const std::string& bytes, const std::string& text, size_t bound)
    {
        ASSERT_LE(text.size(), bound);
        EXPECT_EQ(bytes.substr(0, text.size()), text);
        for (size_t i = text.size(); i <= bound; ++i)
            EXPECT_EQ(bytes[i], 0) << "byte " << i << " of '" << text << "'";
        for (size_t i = bound + 1; i < bytes.size(); ++i)
            ASSERT_EQ(static_cast<unsigned char>(bytes[i]), kCanary)
                << "byte " << i << " past the bound of '" << text << "'";
    }

    // The text and one NUL; nothing after it is touched.
    void expectTerminated(const std::string& bytes, const std::string& text)
    {
        EXPECT_EQ(bytes.substr(0, text.size()), text);
        EXPECT_EQ(bytes[text.size()], 0);
        for (size_t i = text.size() + 1; i < bytes.size(); ++i)
            ASSERT_EQ(static_cast<unsigned char>(bytes[i]), kCanary)
                << "byte " << i << " after '" << text << "'";
    }

    void expectUntouched(const std::string& bytes)
    {
        for (size_t i = 0; i < bytes.size(); ++i)
            ASSERT_EQ(static_cast<unsigned char>(bytes[i]), kCanary) << "byte " << i;
    }

    std::unique_ptr<vsthost::Plugin> plugin;
    unsigned char buffer[kBufferSize];
};

TEST_F(StringAnswers, IdentityStringsArePaddedToTheirBounds)
{
    intptr_t answer = 0;
    expectPadded(query(effGetEffectName, 0, &answer), "Varden_Ka318_v1_1", 32);
    EXPECT_EQ(answer, 1);
    expectPadded(query(effGetProductString, 0, &answer), "Varden_Ka318_v1_1", 64);
    EXPECT_EQ(answer, 1);
    expectPadded(query(effGetVendorString, 0, &answer), "Orvex Plugins", 64);
    EXPECT_EQ(answer, 1);
}

TEST_F(StringAnswers, ParameterNamesAreWrittenWhole)
{
    const char* names[23] = {"Input",          "Channel",     "Clean/Crunch", "Low/High Gain",
                             "CHA Drive",      "CHA Low",     "CHA Mid",      "CHA High",
                             "CHA Contour",    "CHA Open/Focus", "CHA Bottom", "CHA Bright",
                             "CHB Drive",      "CHB Low",     "CHB Mid",      "CHB High",
                             "CHB Contour",    "CHB Open/Focus", "CHB Bottom", "CHB Bright",
                             "Volume",         "Mono/Stereo", "LowQ/HighQ"};
    for (int32_t i = 0; i < 23; ++i) {
        SCOPED_TRACE(i);
        expectTerminated(query(effGetParamName, i), names[i]);
    }
    expectUntouched(query(effGetParamName, 23));
    expectUntouched(query(effGetParamName, -1));
}

TEST_F(StringAnswers, DisplaysFitEightCharacters)
{
    const float values[] = {0.f, 0.5f, 1.f, 0.7f, -0.5f, 1.7f, 12345.678f, -9999999.f, 1e9f};
    const char* texts[] = {"0.000000", "0.500000", "1.000000", "0.699999", "-0.50000",
                           "1.700000", "12345.67", "-999999.", "Huge!"};
    for (size_t v = 0; v < sizeof values / sizeof values[0]; ++v) {
        for (int32_t i : {0, 11, 22}) {
            SCOPED_TRACE(std::to_string(i) + " = " + std::to_string(values[v]));
            plugin->setParameter(i, values[v]);
            expectTerminated(query(effGetParamDisplay, i), texts[v]);
        }
    }
    expectUntouched(query(effGetParamDisplay, 23));
    expectUntouched(query(effGetParamDisplay, -1));
}

TEST_F(StringAnswers, LabelLeavesTheHostBufferAlone)
{
    for (int32_t i : {0, 1, 20, 22, 23, -1}) {
        SCOPED_TRACE(i);
        char label[16] = "dB";
        std::memset(label + 3, 'x', sizeof label - 3);
        EXPECT_EQ(plugin->dispatch(effGetParamLabel, i, 0, label), 0);
        EXPECT_STREQ(label, "dB");
        for (size_t b = 3; b < sizeof label; ++b)
            ASSERT_EQ(label[b], 'x');
        expectUntouched(query(effGetParamLabel, i));
    }
}

}  // namespace
