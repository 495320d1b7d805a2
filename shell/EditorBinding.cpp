// The effect's editor slot filled with the front panel. The panel knows the
// effect only as an EditorEffect; this file is the one place where the two
// meet, so the dependency runs from the shell to the editor and never back.
#include <memory>

#include "editor/PanelLayout.h"
#include "editor/SDEditor.h"
#include "shell/AEffEditor.h"
#include "shell/AudioEffectX.h"
#include "shell/EditorFactory.h"
#include "shell/EffectCore.h"
#include "shell/ParameterTable.h"

namespace ka813 {

namespace {

// The panel tags its controls with our parameter indices; they must be ours.
constexpr std::pair<int32_t, int32_t> kTagsAndIndices[] = {
    {kTagInput, kParamInput},           {kTagChannel, kParamChannel},
    {kTagCleanCrunch, kParamCleanCrunch}, {kTagLowHighGain, kParamLowHighGain},
    {kTagDriveA, kParamDriveA},         {kTagLowA, kParamLowA},
    {kTagMidA, kParamMidA},             {kTagHighA, kParamHighA},
    {kTagContourA, kParamContourA},     {kTagFocusA, kParamFocusA},
    {kTagBottomA, kParamBottomA},       {kTagBrightA, kParamBrightA},
    {kTagDriveB, kParamDriveB},         {kTagLowB, kParamLowB},
    {kTagMidB, kParamMidB},             {kTagHighB, kParamHighB},
    {kTagContourB, kParamContourB},     {kTagFocusB, kParamFocusB},
    {kTagBottomB, kParamBottomB},       {kTagBrightB, kParamBrightB},
    {kTagVolume, kParamVolume},         {kTagStereo, kParamStereo},
    {kTagHighQuality, kParamHighQuality},
};
constexpr bool tagsAreParameterIndices() {
    for (const auto& [tag, index] : kTagsAndIndices)
        if (tag != index)
            return false;
    return sizeof(kTagsAndIndices) / sizeof(kTagsAndIndices[0]) == kNumParameters;
}
static_assert(tagsAreParameterIndices(), "panel tags and parameter indices differ");
static_assert(int32_t{kNumTags} == int32_t{kNumParameters}, "one control per parameter");

// What the panel asks of the effect, passed on to it; the levels come
// straight from the core, which any thread may read.
class EffectForPanel final : public EditorEffect {
public:
    EffectForPanel(AudioEffectX& effect, const EffectCore& core) : effect(effect), core(core) {}
    float getParameter(int32_t index) override { return effect.getParameter(index); }
    void setParameterAutomated(int32_t index, float value) override {
        effect.setParameterAutomated(index, value);
    }
    void beginEdit(int32_t index) override { effect.beginEdit(index); }
    void endEdit(int32_t index) override { effect.endEdit(index); }
    void masterIdle() override { effect.masterIdle(); }
    float level(PanelMeter meter) override {
        return core.level(meter == PanelMeter::input ? EffectCore::Meter::kInput : EffectCore::Meter::kOutput);
    }

private:
    AudioEffectX& effect;
    const EffectCore& core;
};

// The host's editor requests, handed to the panel.
class PanelEditor final : public AEffEditor {
public:
    PanelEditor(AudioEffectX* owner, const EffectCore& core)
        : AEffEditor(owner), link(*owner, core), panel(std::make_unique<SDEditor>(&link)) {
        owner->setEditor(this);
    }
    ~PanelEditor() override = default;

    bool getRect(ERect** out) override {
        if (!out)
            return false;
        const VSTGUI::CRect& size = panel->getRect();
        rect = ERect{static_cast<int16_t>(size.top), static_cast<int16_t>(size.left),
                     static_cast<int16_t>(size.bottom), static_cast<int16_t>(size.right)};
        *out = &rect;
        return true;
    }
    bool open(void* parentWindow) override {
        // A failed open leaves everything as it was, an open panel included.
        if (!panel->open(parentWindow))
            return false;
        systemWindow = parentWindow;
        return true;
    }
    void close() override {
        panel->close();
        AEffEditor::close();
    }
    void idle() override { panel->idle(); }
    bool onKeyDown(VstKeyCode& key) override {
        VSTGUI::VstKeyCode kitKey{key.character, key.virt, key.modifier};
        return panel->onKeyDown(kitKey);
    }
    bool onKeyUp(VstKeyCode& key) override {
        VSTGUI::VstKeyCode kitKey{key.character, key.virt, key.modifier};
        return panel->onKeyUp(kitKey);
    }
    bool onWheel(float distance) override { return panel->onWheel(distance); }
    bool setKnobMode(int mode) override { return panel->setKnobMode(mode); }
    void setParameter(int index, float value) override { panel->setParameter(index, value); }
    void beginEdit(int index) override { panel->beginEdit(index); }
    void endEdit(int index) override { panel->endEdit(index); }
    void doIdleStuff() override { panel->doIdleStuff(); }

private:
    EffectForPanel link;
    std::unique_ptr<SDEditor> panel;
    ERect rect{0, 0, 0, 0};
};

}  // namespace

AEffEditor* createEditor(AudioEffectX* effect, const EffectCore& core) {
    return effect ? new PanelEditor(effect, core) : nullptr;
}

}  // namespace ka813
