#include "shell/Ka813.h"

#include <cstring>
#include <new>

#include "shell/AEffEditor.h"
#include "shell/BoundedCopy.h"
#include "shell/EditorFactory.h"
#include "shell/Float2String.h"
#include "shell/Identity.h"

using namespace ka813;

Ka813::Ka813(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParameters)
{
    // Every parameter starts at its default; the program bank applies
    // program 0 over these once it holds the stored values.
    for (int32_t i = 0; i < kNumParameters; ++i)
        parameterValues[i] = parameterInfo(i)->defaultValue;

    canProcessReplacing();
    programsAreChunks();
    setNumInputs(kNumInputs);
    setNumOutputs(kNumOutputs);
    setUniqueID(kUniqueId);

    // The editor comes after the parameters so that it opens on their
    // values; without one the effect still runs, headless.
    AEffEditor* newEditor = nullptr;
    try {
        newEditor = createEditor(this);
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

void Ka813::processReplacing(float** inputs, float** outputs, int32_t sampleFrames)
{
    // Passes the signal through until the amplifier model runs here.
    if (!inputs || !outputs || sampleFrames <= 0)
        return;
    for (int32_t channel = 0; channel < kNumOutputs; ++channel) {
        const float* in = inputs[channel];
        float* out = outputs[channel];
        if (in && out && in != out)
            std::memmove(out, in, sizeof(float) * static_cast<size_t>(sampleFrames));
    }
}

void Ka813::setParameter(int32_t index, float value)
{
    if (index >= 0 && index < kNumParameters)
        parameterValues[index] = value;
    // The editor mirrors every change, whoever made it.
    if (editor)
        editor->setParameter(index, value);
}

float Ka813::getParameter(int32_t index)
{
    if (index < 0 || index >= kNumParameters)
        return 0.f;
    return parameterValues[index];
}

void Ka813::getParameterLabel(int32_t, char*)
{
    // No units: the host's buffer stays as the host passed it.
}

void Ka813::getParameterDisplay(int32_t index, char* text)
{
    if (index < 0 || index >= kNumParameters)
        return;
    float2string(getParameter(index), text, kVstMaxParamStrLen);
}

void Ka813::getParameterName(int32_t index, char* text)
{
    const ParameterInfo* info = parameterInfo(index);
    if (!info)
        return;
    // Longer than the nominal 8 characters; written whole.
    std::memcpy(text, info->name, std::strlen(info->name) + 1);
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
