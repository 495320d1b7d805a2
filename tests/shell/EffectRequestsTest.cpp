// The effect's requests to the host and its binding to an editor, seen
// from a recording host callback and a recording editor.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "shell/AEffEditor.h"
#include "shell/Ka813.h"

using namespace ka813;

namespace {

struct Request {
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    std::string text;
    float opt;
};

std::vector<Request> requests;
intptr_t hostAnswer = 0;

intptr_t recordingHost(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                       float opt)
{
    std::string text = opcode == audioMasterCanDo && ptr ? static_cast<const char*>(ptr) : "";
    requests.push_back({effect, opcode, index, value, text, opt});
    return opcode == audioMasterVersion ? 2400 : hostAnswer;
}

struct EditorCalls {
    std::vector<std::pair<int, float>> parameters;
    std::vector<VstKeyCode> keysDown, keysUp;
    void* openedWith = reinterpret_cast<void*>(-1);
    int closes = 0, idles = 0, knobMode = -1;
    bool destroyed = false;
    bool detachOnDestroy = false;
    bool answer = true;
};

class RecordingEditor : public AEffEditor {
public:
    RecordingEditor(AudioEffect* effect, EditorCalls& calls) : AEffEditor(effect), calls(calls) {}
    ~RecordingEditor() override
    {
        calls.destroyed = true;
        if (calls.detachOnDestroy)
            effect->setEditor(nullptr);
    }
    bool getRect(ERect** rect) override
    {
        *rect = &size;
        return true;
    }
    bool open(void* parent) override
    {
        calls.openedWith = parent;
        return calls.answer;
    }
    void close() override { ++calls.closes; }
    void idle() override { ++calls.idles; }
    bool onKeyDown(VstKeyCode& key) override
    {
        calls.keysDown.push_back(key);
        return calls.answer;
    }
    bool onKeyUp(VstKeyCode& key) override
    {
        calls.keysUp.push_back(key);
        return calls.answer;
    }
    bool setKnobMode(int mode) override
    {
        calls.knobMode = mode;
        return calls.answer;
    }
    void setParameter(int index, float value) override { calls.parameters.push_back({index, value}); }

    ERect size{0, 0, 280, 720};
    EditorCalls& calls;
};

class EffectRequests : public ::testing::Test {
protected:
    void SetUp() override
    {
        requests.clear();
        hostAnswer = 0;
        effect = new Ka813(recordingHost);
        record = effect->getAeffect();
    }
    void TearDown() override
    {
        if (record)
            record->dispatcher(record, effClose, 0, 0, nullptr, 0.f);
    }
    void attachEditor() { effect->setEditor(new RecordingEditor(effect, calls)); }
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.f)
    {
        return record->dispatcher(record, opcode, index, value, ptr, opt);
    }

    Ka813* effect = nullptr;
    AEffect* record = nullptr;
    EditorCalls calls;
};

TEST_F(EffectRequests, ConstructionAsksTheHostForNothing)
{
    EXPECT_TRUE(requests.empty());
    dispatch(effMainsChanged, 0, 1);
    dispatch(effMainsChanged, 0, 0);
    dispatch(effMainsChanged, 0, 1);
    EXPECT_TRUE(requests.empty()) << "MIDI must never be requested";
}

TEST_F(EffectRequests, AutomatedChangeIsAppliedThenReported)
{
    effect->setParameterAutomated(4, 0.75f);
    EXPECT_EQ(effect->getParameter(4), 0.75f);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].effect, record);
    EXPECT_EQ(requests[0].opcode, audioMasterAutomate);
    EXPECT_EQ(requests[0].index, 4);
    EXPECT_EQ(requests[0].value, 0);
    EXPECT_EQ(requests[0].opt, 0.75f);
}

TEST_F(EffectRequests, EditorRequestsReachTheHost)
{
    EXPECT_FALSE(effect->beginEdit(9));
    effect->masterIdle();
    EXPECT_FALSE(effect->endEdit(9));
    char sizeWindow[] = "sizeWindow";
    EXPECT_EQ(effect->canHostDo(sizeWindow), 0);
    EXPECT_FALSE(effect->sizeWindow(800, 300));
    hostAnswer = 1;
    EXPECT_EQ(effect->canHostDo(sizeWindow), 1);
    EXPECT_TRUE(effect->sizeWindow(800, 300));

    ASSERT_EQ(requests.size(), 7u);
    EXPECT_EQ(requests[0].opcode, audioMasterBeginEdit);
    EXPECT_EQ(requests[0].index, 9);
    EXPECT_EQ(requests[1].opcode, audioMasterIdle);
    EXPECT_EQ(requests[2].opcode, audioMasterEndEdit);
    EXPECT_EQ(requests[2].index, 9);
    EXPECT_EQ(requests[3].opcode, audioMasterCanDo);
    EXPECT_EQ(requests[3].text, "sizeWindow");
    EXPECT_EQ(requests[4].opcode, audioMasterSizeWindow);
    EXPECT_EQ(requests[4].index, 800);
    EXPECT_EQ(requests[4].value, 300);
    for (const Request& request : requests)
        EXPECT_EQ(request.effect, record);
}

TEST(EffectWithoutCallback, EveryRequestIsSkipped)
{
    Ka813* effect = new Ka813(nullptr);
    AEffect* record = effect->getAeffect();
    effect->setParameterAutomated(0, 0.25f);
    EXPECT_EQ(effect->getParameter(0), 0.25f);
    EXPECT_FALSE(effect->beginEdit(0));
    EXPECT_FALSE(effect->endEdit(0));
    effect->masterIdle();
    char sizeWindow[] = "sizeWindow";
    EXPECT_EQ(effect->canHostDo(sizeWindow), 0);
    EXPECT_FALSE(effect->sizeWindow(10, 10));
    EXPECT_EQ(effect->getMasterVersion(), 0);
    record->dispatcher(record, effMainsChanged, 0, 1, nullptr, 0.f);
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.f), 1);
}

TEST_F(EffectRequests, EditorFlagFollowsTheEditor)
{
    effect->setEditor(nullptr);
    EXPECT_EQ(record->flags, 0x30);
    attachEditor();
    EXPECT_EQ(record->flags, 0x31);
    effect->setEditor(nullptr);
    EXPECT_TRUE(calls.destroyed);
    EXPECT_EQ(record->flags, 0x30);
    EXPECT_EQ(dispatch(effEditOpen), 0);
}

TEST_F(EffectRequests, EditorOpcodesReachTheEditor)
{
    attachEditor();
    ERect* rect = nullptr;
    EXPECT_EQ(dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 720);
    EXPECT_EQ(dispatch(effEditGetRect), 0) << "no place to store the rectangle";

    int parent = 0;
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 1);
    EXPECT_EQ(calls.openedWith, &parent);
    EXPECT_EQ(dispatch(effEditIdle), 0);
    EXPECT_EQ(dispatch(effEditClose), 0);
    EXPECT_EQ(calls.idles, 1);
    EXPECT_EQ(calls.closes, 1);

    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 1), 1);
    EXPECT_EQ(calls.knobMode, 1);
    calls.answer = false;
    EXPECT_EQ(dispatch(effEditOpen, 0, 0, &parent), 0);
    EXPECT_EQ(dispatch(effSetEditKnobMode, 0, 2), 0);
}

TEST_F(EffectRequests, KeyCodesAreBuiltFromTheOpcodeArguments)
{
    attachEditor();
    EXPECT_EQ(dispatch(effEditKeyDown, 'a', 0x1FF, nullptr, 259.9f), 1);
    calls.answer = false;
    EXPECT_EQ(dispatch(effEditKeyUp, 'b', 0x12, nullptr, 4.f), 0);
    // A modifier value that is no number carries no modifiers.
    dispatch(effEditKeyDown, 0, 0, nullptr, std::numeric_limits<float>::quiet_NaN());
    dispatch(effEditKeyDown, 0, 0, nullptr, 1e20f);

    ASSERT_EQ(calls.keysDown.size(), 3u);
    EXPECT_EQ(calls.keysDown[0].character, 'a');
    EXPECT_EQ(calls.keysDown[0].virt, 0xFF);
    EXPECT_EQ(calls.keysDown[0].modifier, 3);  // low 8 bits of 259
    EXPECT_EQ(calls.keysDown[1].modifier, 0);
    EXPECT_EQ(calls.keysDown[2].modifier, 0);
    ASSERT_EQ(calls.keysUp.size(), 1u);
    EXPECT_EQ(calls.keysUp[0].character, 'b');
    EXPECT_EQ(calls.keysUp[0].virt, 0x12);
    EXPECT_EQ(calls.keysUp[0].modifier, 4);
}

TEST_F(EffectRequests, EveryParameterChangeReachesTheEditor)
{
    attachEditor();
    record->setParameter(record, 5, 0.25f);
    effect->setParameterAutomated(20, 0.8f);
    record->setParameter(record, 23, 0.3f);  // outside the table: stored nowhere, still told
    record->setParameter(record, -1, 0.1f);
    ASSERT_EQ(calls.parameters.size(), 4u);
    EXPECT_EQ(calls.parameters[0], std::make_pair(5, 0.25f));
    EXPECT_EQ(calls.parameters[1], std::make_pair(20, 0.8f));
    EXPECT_EQ(calls.parameters[2], std::make_pair(23, 0.3f));
    EXPECT_EQ(calls.parameters[3], std::make_pair(-1, 0.1f));
    EXPECT_EQ(effect->getParameter(23), 0.f);
}

TEST_F(EffectRequests, ClosingDestroysTheEditor)
{
    attachEditor();
    EXPECT_EQ(dispatch(effClose), 1);
    record = nullptr;
    EXPECT_TRUE(calls.destroyed);
}

// An editor that detaches itself from the effect while it is destroyed must
// not be destroyed twice.
TEST_F(EffectRequests, EditorMayDetachItselfWhileGoing)
{
    calls.detachOnDestroy = true;
    attachEditor();
    effect->setEditor(nullptr);
    EXPECT_TRUE(calls.destroyed);
    EXPECT_EQ(record->flags, 0x30);

    EditorCalls second;
    second.detachOnDestroy = true;
    effect->setEditor(new RecordingEditor(effect, second));
    EXPECT_EQ(dispatch(effClose), 1);
    record = nullptr;
    EXPECT_TRUE(second.destroyed);
}

}  // namespace
