// The effect as a host sees it through the exported entry: the record, the
// dispatcher's answers and the requests it makes of the host.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <climits>
#include <cstring>
#include <vector>

#include "tests/shell/PluginPath.h"
#include "tools/host/VstHost.h"

using namespace ka813;
using namespace ka813::test;

namespace {

std::unique_ptr<vsthost::Plugin> loadPlugin(const vsthost::LoadOptions& options = {})
{
    std::string error;
    auto plugin = vsthost::Plugin::load(pluginPath(), &error, options);
    EXPECT_TRUE(plugin) << error;
    return plugin;
}

class HostView : public ::testing::Test {
protected:
    void SetUp() override
    {
        plugin = loadPlugin();
        ASSERT_TRUE(plugin);
        effect = plugin->effect();
    }
    bool hasEditor() { return (effect->flags & effFlagsHasEditor) != 0; }

    std::unique_ptr<vsthost::Plugin> plugin;
    AEffect* effect = nullptr;
};

TEST_F(HostView, RecordAfterCreation)
{
    EXPECT_EQ(effect->magic, 0x56737450);
    EXPECT_EQ(effect->numPrograms, 10);
    EXPECT_EQ(effect->numParams, 23);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->uniqueID, 0x4C514353);
    EXPECT_EQ(effect->uniqueID, 1280394067);
    EXPECT_EQ(std::memcmp(&effect->uniqueID, "SCQL", 4), 0);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->realQualities, 0);
    EXPECT_EQ(effect->offQualities, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->resvd1, 0);
    EXPECT_EQ(effect->resvd2, 0);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_NE(effect->dispatcher, nullptr);
    EXPECT_NE(effect->process, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_NE(effect->setParameter, nullptr);
    EXPECT_NE(effect->getParameter, nullptr);
    for (char byte : effect->future)
        EXPECT_EQ(byte, 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 0);
}

TEST_F(HostView, FlagsDeclareReplacingChunksAndTheEditor)
{
    EXPECT_EQ(effect->flags, 0x31);
}

TEST_F(HostView, EditorFlagAndEditorOpcodesAgree)
{
    ASSERT_TRUE(hasEditor());
    ERect* rect = nullptr;
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 720);
    EXPECT_EQ(rect->bottom - rect->top, 280);
    EXPECT_EQ(plugin->dispatch(effSetEditKnobMode, 0, 2), 1);
}

struct Answer {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    intptr_t expected;
};

TEST_F(HostView, ConstantAnswersOfTheOpcodeTable)
{
    const Answer answers[] = {
        {effOpen, 0, 0, 0},
        {effIdentify, 0, 0, 0x4E764566},
        {effSetSampleRate, 0, 0, 0},
        {effSetBlockSize, 0, 512, 0},
        {effMainsChanged, 0, 1, 0},
        {effMainsChanged, 0, 0, 0},
        {effProcessEvents, 0, 0, 0},
        {effCanBeAutomated, 0, 0, 1},
        {effCanBeAutomated, 22, 0, 1},
        {effCanBeAutomated, 500, 0, 1},
        {effString2Parameter, 0, 0, 0},
        {effGetPlugCategory, 0, 0, 0},
        {effOfflineNotify, 0, 0, 0},
        {effOfflinePrepare, 0, 0, 0},
        {effOfflineRun, 0, 0, 0},
        {effProcessVarIo, 0, 0, 0},
        {effSetSpeakerArrangement, 0, 0, 0},
        {effSetBypass, 0, 1, 0},
        {effGetVendorVersion, 0, 0, 1000},
        {effVendorSpecific, 0, 0, 0},
        {effGetTailSize, 0, 0, 0},
        {effGetParameterProperties, 0, 0, 0},
        {effGetVstVersion, 0, 0, 2400},
        {effGetMidiProgramName, 0, 0, 0},
        {effGetCurrentMidiProgram, 0, 0, -1},
        {effGetMidiProgramCategory, 0, 0, 0},
        {effHasMidiProgramsChanged, 0, 0, 0},
        {effGetMidiKeyName, 0, 0, 0},
        {effBeginSetProgram, 0, 0, 0},
        {effEndSetProgram, 0, 0, 0},
        {effShellGetNextPlugin, 0, 0, 0},
        {effStartProcess, 0, 0, 0},
        {effStopProcess, 0, 0, 0},
        {effSetTotalSampleToProcess, 0, 4096, 4096},
        {effSetTotalSampleToProcess, 0, 0x123456789, 0x123456789},
        {effSetPanLaw, 0, 0, 0},
        {effBeginLoadBank, 0, 0, 0},
        {effBeginLoadProgram, 0, 0, 0},
        {effSetProcessPrecision, 0, 1, 0},
        {effGetNumMidiInputChannels, 0, 0, 0},
        {effGetNumMidiOutputChannels, 0, 0, 0},
    };
    for (const Answer& answer : answers)
        EXPECT_EQ(plugin->dispatch(answer.opcode, answer.index, answer.value), answer.expected)
            << "opcode " << answer.opcode << " index " << answer.index;
}

TEST_F(HostView, DeprecatedAndUnknownOpcodesAnswerZero)
{
    const int32_t opcodes[] = {9,  16, 17, 18, 20, 21, 28, 30,   31,   32,      36,     37,
                               43, 46, 53, 54, 55, 57, 80, 81, 1000, -1, INT_MAX, INT_MIN};
    char buffer[64];
    for (int32_t opcode : opcodes) {
        std::memset(buffer, 0x5A, sizeof buffer);
        EXPECT_EQ(plugin->dispatch(opcode, 1, 1, buffer, 1.f), 0) << "opcode " << opcode;
        for (char byte : buffer)
            ASSERT_EQ(byte, 0x5A) << "opcode " << opcode << " wrote into the buffer";
    }
    // Still alive and unchanged.
    EXPECT_EQ(plugin->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(plugin->getParameter(0), 0.5f);
}

TEST_F(HostView, CanDoAnswersZeroForEveryText)
{
    const char* texts[] = {"receiveVstMidiEvent", "sendVstMidiEvent", "bypass", "sizeWindow",
                           "plugAsChannelInsert", "", "a very long text that no host would ever send"};
    for (const char* text : texts) {
        std::string copy = text;
        EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, &copy[0]), 0) << text;
    }
    EXPECT_EQ(plugin->dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST_F(HostView, SpeakerArrangementQueryNullsBothPointers)
{
    int inputs = 0, outputs = 0;
    void* inputArrangement = &inputs;
    void* outputArrangement = &outputs;
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0,
                               reinterpret_cast<intptr_t>(&inputArrangement), &outputArrangement),
              0);
    EXPECT_EQ(inputArrangement, nullptr);
    EXPECT_EQ(outputArrangement, nullptr);
    EXPECT_EQ(plugin->dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);
}

TEST_F(HostView, PinPropertiesAreLeftToTheHost)
{
    unsigned char properties[256];
    std::memset(properties, 0x77, sizeof properties);
    EXPECT_EQ(plugin->dispatch(effGetInputProperties, 0, 0, properties), 0);
    EXPECT_EQ(plugin->dispatch(effGetOutputProperties, 1, 0, properties), 0);
    for (unsigned char byte : properties)
        ASSERT_EQ(byte, 0x77);
}

TEST_F(HostView, ProgramSelectionStaysInTheBank)
{
    EXPECT_EQ(plugin->dispatch(effSetProgram, 0, 9), 0);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 9);
    plugin->dispatch(effSetProgram, 0, 10);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 9);
    plugin->dispatch(effSetProgram, 0, -1);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 9);
    plugin->dispatch(effSetProgram, 0, intptr_t(1) << 32);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 9);
}

TEST_F(HostView, ParametersHoldWhatTheHostSet)
{
    for (int32_t i = 0; i < 23; ++i) {
        bool knob = i == 0 || (i >= 4 && i <= 8) || (i >= 12 && i <= 16) || i == 20;
        EXPECT_EQ(plugin->getParameter(i), knob ? 0.5f : 0.0f) << i;
        EXPECT_EQ(plugin->parameterDisplay(i), knob ? "0.500000" : "0.000000") << i;
    }
    plugin->setParameter(5, 1.7f);
    EXPECT_EQ(plugin->getParameter(5), 1.7f);
    EXPECT_EQ(plugin->parameterDisplay(5), "1.700000");
    plugin->setParameter(1, 0.5f);
    EXPECT_EQ(plugin->getParameter(1), 0.5f);
    EXPECT_EQ(plugin->parameterDisplay(1), "0.500000");
    plugin->setParameter(20, -0.5f);
    EXPECT_EQ(plugin->parameterDisplay(20), "-0.50000");
    plugin->setParameter(0, 1e9f);
    EXPECT_EQ(plugin->parameterDisplay(0), "Huge!");

    EXPECT_EQ(plugin->getParameter(23), 0.f);
    EXPECT_EQ(plugin->getParameter(-1), 0.f);
    plugin->setParameter(23, 0.3f);
    plugin->setParameter(-1, 0.3f);
    plugin->setParameter(INT_MAX, 0.3f);
    EXPECT_EQ(plugin->getParameter(23), 0.f);
}

TEST_F(HostView, MainsOffAndOnChangesNothing)
{
    plugin->dispatch(effSetProgram, 0, 4);
    plugin->setParameter(7, 0.125f);
    plugin->clearLog();
    plugin->dispatch(effMainsChanged, 0, 0);
    plugin->dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(plugin->getParameter(7), 0.125f);
    EXPECT_EQ(plugin->getParameter(8), 0.5f);
    EXPECT_EQ(plugin->dispatch(effGetProgram), 4);
    EXPECT_TRUE(plugin->requests(audioMasterWantMidi).empty());
}

TEST_F(HostView, LoadingAsksOnlyForTheHostVersion)
{
    std::vector<vsthost::CallbackRecord> log = plugin->log();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].opcode, audioMasterVersion);
    EXPECT_EQ(log[0].effect, nullptr);
    EXPECT_EQ(log[0].index, 0);
    EXPECT_EQ(log[0].value, 0);
    EXPECT_FALSE(log[0].hasPtr);
    EXPECT_EQ(log[0].opt, 0.f);
}

TEST_F(HostView, AccumulatingProcessLeavesTheOutputsAlone)
{
    std::vector<float> inL(64, 0.25f), inR(64, -0.25f), outL(64, 0.5f), outR(64, 0.75f);
    float* inputs[] = {inL.data(), inR.data()};
    float* outputs[] = {outL.data(), outR.data()};
    plugin->process(inputs, outputs, 64);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(outL[i], 0.5f);
        ASSERT_EQ(outR[i], 0.75f);
    }
    double* doubles[] = {nullptr, nullptr};
    effect->processDoubleReplacing(effect, doubles, doubles, 64);
}

TEST_F(HostView, MissingPointersAreNotWrittenThrough)
{
    const int32_t opcodes[] = {effGetProgramName, effSetProgramName, effGetParamLabel,
                               effGetParamDisplay, effGetParamName, effEditGetRect,
                               effGetChunk, effSetChunk, effGetProgramNameIndexed,
                               effGetEffectName, effGetVendorString, effGetProductString,
                               effCanDo, effString2Parameter};
    for (int32_t opcode : opcodes)
        EXPECT_EQ(plugin->dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
}

TEST(HostEntry, HostWithoutVersionGetsNoEffect)
{
    vsthost::LoadOptions options;
    options.versionAnswer = 0;
    std::string error;
    EXPECT_FALSE(vsthost::Plugin::load(pluginPath(), &error, options));
    EXPECT_NE(error.find("no effect"), std::string::npos) << error;
}

struct RawLibrary {
    RawLibrary() : handle(dlopen(pluginPath().c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~RawLibrary()
    {
        if (handle)
            dlclose(handle);
    }
    VstPluginMainProc entry(const char* name)
    {
        return reinterpret_cast<VstPluginMainProc>(dlsym(handle, name));
    }
    void* handle;
};

intptr_t minimalHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float)
{
    return opcode == audioMasterVersion ? 2400 : 0;
}

TEST(HostEntry, BothNamesLeadToOneFunctionAndCloseAnswersOne)
{
    RawLibrary library;
    ASSERT_NE(library.handle, nullptr) << dlerror();
    VstPluginMainProc vstMain = library.entry("VSTPluginMain");
    VstPluginMainProc plainMain = library.entry("main");
    ASSERT_NE(vstMain, nullptr);
    EXPECT_EQ(vstMain, plainMain);

    EXPECT_EQ(vstMain(nullptr), nullptr);
    AEffect* effect = plainMain(minimalHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f), 1);
}

TEST(HostEntry, InstancesShareNoState)
{
    auto first = loadPlugin();
    auto second = loadPlugin();
    ASSERT_TRUE(first && second);
    ASSERT_NE(first->effect(), second->effect());
    EXPECT_NE(first->effect()->object, second->effect()->object);

    first->setParameter(6, 0.9f);
    first->dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(second->getParameter(6), 0.5f);
    EXPECT_EQ(second->dispatch(effGetProgram), 0);
    second->setParameter(13, 0.1f);
    EXPECT_EQ(first->getParameter(13), 0.5f);

    first.reset();  // closing one leaves the other working
    EXPECT_EQ(second->getParameter(6), 0.5f);
    EXPECT_EQ(second->getParameter(13), 0.1f);
    EXPECT_EQ(second->effectName(), "Varden_Ka318_v1_1");
    EXPECT_EQ(second->log().size(), 1u);
}

}  // namespace
