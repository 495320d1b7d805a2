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
    // The resamplers start cleared, the bank at its defaults and the model's
    // smoothed gains at 0.5 with a recomputation pending (member
    // construction). Program 0 then sets every parameter and the rate.
    for (int32_t i = 0; i < kNumParameters; ++i)
        parameterValues[i] = parameterInfo(i)->defaultValue;
    setProgram(0);

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

    // Last, at the oversampled rate program 0 established.
    amp.setUpTriodes();
}

Ka813::~Ka813()
{
    // The editor may still reach into the effect while it goes.
    setEditor(nullptr);
}

void Ka813::setSampleRate(float newRate)
{
    AudioEffect::setSampleRate(newRate);
    amp.setUp(newRate);
}

void Ka813::processReplacing(float** inputs, float** outputs, int32_t sampleFrames)
{
    if (!inputs || !outputs || !inputs[0] || !outputs[0] || !outputs[1] || sampleFrames <= 0)
        return;
    // A host without a second input buffer gets the first on both sides.
    const float* sides[2] = {inputs[0], inputs[1] ? inputs[1] : inputs[0]};
    amp.processBlock(sides, outputs, sampleFrames);
}

// The mode that plays, and each channel's own mode, from the switches as
// setParameter last applied them.
AmpMode Ka813::activeMode() const
{
    return amp.channelB == 1 ? channelBMode() : channelAMode();
}

AmpMode Ka813::channelAMode() const
{
    return amp.crunchA == 1 ? kModeACrunch : kModeAClean;
}

AmpMode Ka813::channelBMode() const
{
    return amp.highGainB == 1 ? kModeBHighGain : kModeBLowGain;
}

void Ka813::setParameter(int32_t index, float value)
{
    if (parameterInfo(index)) {
        bank.setValue(curProgram, index, value);
        parameterValues[index] = value;
        rememberInModeMemory(index, value);
        applyToModel(index, value);
    }
    // The editor mirrors every change, whoever made it.
    if (editor)
        editor->setParameter(index, value);
}

void Ka813::rememberInModeMemory(int32_t index, float value)
{
    switch (parameterInfo(index)->memory) {
    case ModeMemory::ActiveMode:
        bank.setMemoryValue(curProgram, activeMode(), index, value);
        break;
    case ModeMemory::ChannelA:
        bank.setMemoryValue(curProgram, channelAMode(), index, value);
        break;
    case ModeMemory::ChannelB:
        bank.setMemoryValue(curProgram, channelBMode(), index, value);
        break;
    case ModeMemory::Unshared:
        break;
    }
}

// Each recalled value goes through setParameter, so it reaches the record,
// the model and the editor like any other change (but not the host).
template <size_t N>
void Ka813::recall(AmpMode mode, const int32_t (&indices)[N])
{
    for (int32_t index : indices)
        setParameter(index, bank.memoryValue(curProgram, mode, index));
}

void Ka813::applyToModel(int32_t index, float value)
{
    const double position = value;
    const int32_t on = switchIsOn(value) ? 1 : 0;
    switch (index) {
    case kParamInput: amp.setInputLevel(position); break;
    case kParamChannel:
        amp.setChannelB(on);
        recall(activeMode(), kChannelRecall);
        break;
    case kParamCleanCrunch:
        amp.setCrunchA(on);
        if (amp.channelB == 0)
            recall(channelAMode(), kChannelARecall);
        break;
    case kParamLowHighGain:
        amp.setHighGainB(on);
        if (amp.channelB == 1)
            recall(channelBMode(), kChannelBRecall);
        break;
    case kParamDriveA: amp.setDriveA(position); break;
    case kParamLowA: amp.setLowA(position); break;
    case kParamMidA: amp.setMidA(position); break;
    case kParamHighA: amp.setHighA(position); break;
    case kParamContourA: amp.setContourA(position); break;
    case kParamFocusA: amp.setFocusA(on); break;
    case kParamBottomA: amp.setBottomA(on); break;
    case kParamBrightA: amp.setBrightA(on); break;
    case kParamDriveB: amp.setDriveB(position); break;
    case kParamLowB: amp.setLowB(position); break;
    case kParamMidB: amp.setMidB(position); break;
    case kParamHighB: amp.setHighB(position); break;
    case kParamContourB: amp.setContourB(position); break;
    case kParamFocusB: amp.setFocusB(on); break;
    case kParamBottomB: amp.setBottomB(on); break;
    case kParamBrightB: amp.setBrightB(on); break;
    case kParamVolume: amp.setVolume(value); break;
    case kParamStereo: amp.setStereo(on); break;
    case kParamHighQuality: amp.setHighQuality(on); break;
    default: break;
    }
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

void Ka813::setProgram(int32_t program)
{
    if (program < 0 || program >= kNumPrograms)
        return;
    curProgram = program;
    // Each value is read when its turn comes: the switches before it may
    // have recalled a mode memory into the record.
    for (int32_t index : kProgramApplyOrder)
        setParameter(index, bank.value(program, index));
    setSampleRate(sampleRate);
}

void Ka813::setProgramName(char* name)
{
    bank.setName(curProgram, name);
}

void Ka813::getProgramName(char* name)
{
    copyPadded(name, bank.nameField(curProgram), kProgramNameSize);
}

bool Ka813::getProgramNameIndexed(int32_t, int32_t index, char* text)
{
    if (index < 0 || index >= kNumPrograms)
        return false;
    const int32_t length = bank.nameLength(index);
    std::memcpy(text, bank.nameField(index), static_cast<size_t>(length));
    text[length] = 0;
    return true;
}

// The host reads the bytes in place; they stay the effect's.
int32_t Ka813::getChunk(void** data, bool isPreset)
{
    if (isPreset) {
        *data = bank.record(curProgram);
        return kProgramRecordSize;
    }
    *data = bank.bank();
    return kBankSize;
}

int32_t Ka813::setChunk(void* data, int32_t byteSize, bool isPreset)
{
    if (!data)
        return 0;
    unsigned char* target = isPreset ? bank.record(curProgram) : bank.bank();
    const int32_t size = isPreset ? kProgramRecordSize : kBankSize;
    if (byteSize != size)
        return 0;
    // The host may hand back the very bytes getChunk showed it.
    std::memmove(target, data, static_cast<size_t>(size));
    setProgram(curProgram);
    return 1;
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
