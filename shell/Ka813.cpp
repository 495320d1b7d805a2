#include "shell/Ka813.h"

#include <cmath>
#include <cstring>

#include "shell/AEffEditor.h"
#include "shell/BoundedCopy.h"
#include "shell/EditorFactory.h"
#include "shell/Float2String.h"
#include "shell/Vst2Identity.h"

namespace ka813 {

Ka813::Ka813(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParameters), core(*this)
{
    canProcessReplacing();
    programsAreChunks();
    setNumInputs(kNumInputs);
    setNumOutputs(kNumOutputs);
    setUniqueID(kUniqueId);

    // The editor comes after the parameters so that it opens on their
    // values; without one the effect still runs, headless.
    AEffEditor* newEditor = nullptr;
    try {
        newEditor = createEditor(this, core);
    } catch (...) {
        newEditor = nullptr;
    }
    if (newEditor)
        setEditor(newEditor);

    applyMidiRule();
}

Ka813::~Ka813()
{
    // The editor may still reach into the effect while it goes.
    setEditor(nullptr);
}

void Ka813::setSampleRate(float newRate)
{
    // A rate of 0 (some hosts send it before they know theirs), a negative
    // or a non-finite one would make every coefficient meaningless.
    if (!(newRate > 0.f) || !std::isfinite(newRate))
        return;
    AudioEffect::setSampleRate(newRate);
    core.setRate(newRate);
}

void Ka813::suspend()
{
    core.suspend();
}

void Ka813::resume()
{
    core.resume();
    AudioEffectX::resume();
}

void Ka813::processReplacing(float** inputs, float** outputs, int32_t sampleFrames)
{
    if (!inputs || !outputs || !inputs[0] || !outputs[0] || !outputs[1] || sampleFrames <= 0)
        return;
    // A host without a second input buffer gets the first on both sides.
    const float* sides[2] = {inputs[0], inputs[1] ? inputs[1] : inputs[0]};
    core.process(sides, outputs, sampleFrames);
}

void Ka813::setParameter(int32_t index, float value)
{
    core.setValue(index, value, false);
}

void Ka813::setParameterAutomated(int32_t index, float value)
{
    core.setValue(index, value, true);
}

// On the thread that applied the change: the panel hears every value set,
// the host records the user's move and whatever a mode switch brought back.
void Ka813::valueChanged(const ChangeReport& report)
{
    tellEditor(report.shown);
    if (report.automated)
        callHost(audioMasterAutomate, report.index, 0, nullptr, report.value);
    for (int32_t i = 0; i < report.recalled.count; ++i)
        callHost(audioMasterAutomate, report.recalled.items[i].index, 0, nullptr,
                 report.recalled.items[i].value);
}

// After a load the panel hears every value, and the host is asked to read
// them all again along with the program names.
void Ka813::programLoaded(const ValueList& values)
{
    tellEditor(values);
    callHost(audioMasterUpdateDisplay);
}

void Ka813::tellEditor(const ValueList& values)
{
    if (!editor)
        return;
    for (int32_t i = 0; i < values.count; ++i)
        editor->setParameter(values.items[i].index, values.items[i].value);
}

float Ka813::getParameter(int32_t index)
{
    return core.value(index);
}

int32_t Ka813::getProgram()
{
    return core.program();
}

void Ka813::getParameterLabel(int32_t, char*)
{
    // No units: the host's buffer stays as the host passed it.
}

void Ka813::getParameterDisplay(int32_t index, char* text)
{
    if (!parameterInfo(index))
        return;
    float2string(core.value(index), text, kVstMaxParamStrLen);
}

void Ka813::getParameterName(int32_t index, char* text)
{
    const ParameterInfo* info = parameterInfo(index);
    if (!info)
        return;
    // Longer than the nominal 8 characters; written whole.
    std::memcpy(text, info->name, std::strlen(info->name) + 1);
}

void Ka813::setProgram(int32_t program)
{
    if (program < 0 || program >= kNumPrograms)
        return;
    core.selectProgram(program);
}

void Ka813::setProgramName(char* name)
{
    core.setProgramName(name);
}

void Ka813::getProgramName(char* name)
{
    char text[kProgramNameSize + 1];
    core.copyProgramName(core.program(), text);
    copyPadded(name, text, kProgramNameSize);
}

bool Ka813::getProgramNameIndexed(int32_t, int32_t index, char* text)
{
    if (index < 0 || index >= kNumPrograms)
        return false;
    core.copyProgramName(index, text);
    return true;
}

// The host reads the bytes in place; they stay the effect's until it asks
// again.
int32_t Ka813::getChunk(void** data, bool isPreset)
{
    return core.copyChunk(data, isPreset);
}

int32_t Ka813::setChunk(void* data, int32_t byteSize, bool isPreset)
{
    return core.loadChunk(data, byteSize, isPreset) ? 1 : 0;
}

bool Ka813::getEffectName(char* name)
{
    copyPadded(name, kEffectName, kVstMaxEffectNameLen);
    return true;
}

bool Ka813::getVendorString(char* text)
{
    copyPadded(text, kVendorString, kVstMaxVendorStrLen);
    return true;
}

bool Ka813::getProductString(char* text)
{
    copyPadded(text, kProductString, kVstMaxProductStrLen);
    return true;
}

int32_t Ka813::getVendorVersion()
{
    return kVendorVersion;
}

}  // namespace ka813
