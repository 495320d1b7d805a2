#include "shell/AudioEffect.h"

#include <climits>
#include <cstring>

#include "shell/AEffEditor.h"

namespace ka813 {

namespace {

AudioEffect* effectOf(AEffect* record)
{
    return record ? static_cast<AudioEffect*>(record->object) : nullptr;
}

// The record's entries. Nothing may leave them as an exception: the host
// is C and would crash on it.

intptr_t dispatchEntry(AEffect* record, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                       float opt)
{
    AudioEffect* effect = effectOf(record);
    if (!effect)
        return 0;
    try {
        if (opcode == effClose) {
            effect->dispatcher(opcode, index, value, ptr, opt);
            delete effect;
            return 1;
        }
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void processEntry(AEffect* record, float** inputs, float** outputs, int32_t sampleFrames)
{
    if (AudioEffect* effect = effectOf(record))
        effect->process(inputs, outputs, sampleFrames);
}

void processReplacingEntry(AEffect* record, float** inputs, float** outputs, int32_t sampleFrames)
{
    if (AudioEffect* effect = effectOf(record))
        effect->processReplacing(inputs, outputs, sampleFrames);
}

void processDoubleReplacingEntry(AEffect* record, double** inputs, double** outputs,
                                 int32_t sampleFrames)
{
    if (AudioEffect* effect = effectOf(record))
        effect->processDoubleReplacing(inputs, outputs, sampleFrames);
}

void setParameterEntry(AEffect* record, int32_t index, float value)
{
    if (AudioEffect* effect = effectOf(record))
        effect->setParameter(index, value);
}

float getParameterEntry(AEffect* record, int32_t index)
{
    AudioEffect* effect = effectOf(record);
    return effect ? effect->getParameter(index) : 0.f;
}

}  // namespace

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : audioMaster(audioMaster), numPrograms(numPrograms), numParams(numParams)
{
    std::memset(&cEffect, 0, sizeof cEffect);
    cEffect.magic = kEffectMagic;
    cEffect.dispatcher = dispatchEntry;
    cEffect.process = processEntry;
    cEffect.setParameter = setParameterEntry;
    cEffect.getParameter = getParameterEntry;
    cEffect.numPrograms = numPrograms;
    cEffect.numParams = numParams;
    cEffect.numInputs = 1;
    cEffect.numOutputs = 2;
    cEffect.flags = effFlagsCanReplacing;
    cEffect.ioRatio = 1.f;
    cEffect.object = this;
    cEffect.uniqueID = KA813_FOUR_CHARS('N', 'o', 'E', 'f');  // placeholder until the effect sets its own
    cEffect.version = 1;
    cEffect.processReplacing = processReplacingEntry;
    cEffect.processDoubleReplacing = processDoubleReplacingEntry;
}

AudioEffect::~AudioEffect()
{
    // Detached first: an editor may tell the effect it is going.
    AEffEditor* old = editor;
    editor = nullptr;
    delete old;
}

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt)
{
    // Strings and chunks travel through ptr; a host that passes none gets 0
    // instead of a write through a null pointer.
    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < numPrograms)
            setProgram(static_cast<int32_t>(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        if (text)
            setProgramName(text);
        return 0;
    case effGetProgramName:
        if (text)
            getProgramName(text);
        return 0;
    case effGetParamLabel:
        if (text)
            getParameterLabel(index, text);
        return 0;
    case effGetParamDisplay:
        if (text)
            getParameterDisplay(index, text);
        return 0;
    case effGetParamName:
        if (text)
            getParameterName(index, text);
        return 0;
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(static_cast<int32_t>(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        if (editor && ptr)
            return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
        return 0;
    case effEditOpen:
        if (editor)
            return editor->open(ptr) ? 1 : 0;
        return 0;
    case effEditClose:
        if (editor)
            editor->close();
        return 0;
    case effEditIdle:
        if (editor)
            editor->idle();
        return 0;
    case effIdentify:
        return KA813_FOUR_CHARS('N', 'v', 'E', 'f');
    case effGetChunk:
        if (!ptr)
            return 0;
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        // A size the 32-bit handler cannot represent is never a valid chunk.
        if (!ptr || value < 0 || value > INT32_MAX)
            return 0;
        return setChunk(ptr, static_cast<int32_t>(value), index != 0);
    default:
        return 0;
    }
}

void AudioEffect::processDoubleReplacing(double**, double**, int32_t) {}

void AudioEffect::process(float**, float**, int32_t) {}

void AudioEffect::setParameter(int32_t, float) {}

float AudioEffect::getParameter(int32_t)
{
    return 0.f;
}

void AudioEffect::setParameterAutomated(int32_t index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void AudioEffect::setProgramName(char*) {}

void AudioEffect::getParameterLabel(int32_t, char* label)
{
    label[0] = 0;
}

void AudioEffect::getParameterDisplay(int32_t, char* text)
{
    text[0] = 0;
}

void AudioEffect::getParameterName(int32_t, char* text)
{
    text[0] = 0;
}

int32_t AudioEffect::getChunk(void**, bool)
{
    return 0;
}

int32_t AudioEffect::setChunk(void*, int32_t, bool)
{
    return 0;
}

int32_t AudioEffect::getMasterVersion()
{
    return static_cast<int32_t>(callHost(audioMasterVersion));
}

void AudioEffect::masterIdle()
{
    callHost(audioMasterIdle);
}

void AudioEffect::setEditor(AEffEditor* newEditor)
{
    if (newEditor == editor)
        return;
    // Swapped before the old one goes, so that its destructor may call back here.
    AEffEditor* old = editor;
    editor = newEditor;
    setFlag(effFlagsHasEditor, editor != nullptr);
    delete old;
}

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
{
    if (!audioMaster)
        return 0;
    return audioMaster(&cEffect, opcode, index, value, ptr, opt);
}

void AudioEffect::setFlag(int32_t flag, bool state)
{
    if (state)
        cEffect.flags |= flag;
    else
        cEffect.flags &= ~flag;
}

}  // namespace ka813
