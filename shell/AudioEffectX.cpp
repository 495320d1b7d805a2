#include "shell/AudioEffectX.h"

#include <cmath>
#include <cstring>

#include "shell/AEffEditor.h"

namespace ka813 {

namespace {

// The modifier bits arrive as a float; anything that is no integer-sized
// number (NaN, infinities, huge values) carries no modifiers.
uint8_t modifierBits(float opt)
{
    if (!(std::fabs(opt) < 2147483648.f))
        return 0;
    return static_cast<uint8_t>(static_cast<int32_t>(opt) & 0xFF);
}

}  // namespace

AudioEffectX::AudioEffectX(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : AudioEffect(audioMaster, numPrograms, numParams)
{
}

intptr_t AudioEffectX::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt)
{
    if (opcode < effFirstExtensionOpcode || opcode > effLastKnownOpcode)
        return AudioEffect::dispatcher(opcode, index, value, ptr, opt);

    char* text = static_cast<char*>(ptr);
    switch (opcode) {
    case effProcessEvents:
        return processEvents(ptr);
    case effCanBeAutomated:
        return canParameterBeAutomated(index) ? 1 : 0;
    case effString2Parameter:
        return text && string2parameter(index, text) ? 1 : 0;
    case effGetProgramNameIndexed:
        return text && getProgramNameIndexed(static_cast<int32_t>(value), index, text) ? 1 : 0;
    case effGetInputProperties:
        return ptr && getInputProperties(index, ptr) ? 1 : 0;
    case effGetOutputProperties:
        return ptr && getOutputProperties(index, ptr) ? 1 : 0;
    case effGetPlugCategory:
        return getPlugCategory();
    case effProcessVarIo:
        return processVariableIo(ptr) ? 1 : 0;
    case effSetSpeakerArrangement:
        return setSpeakerArrangement(reinterpret_cast<void*>(value), ptr) ? 1 : 0;
    case effSetBypass:
        return setBypass(value != 0) ? 1 : 0;
    case effGetEffectName:
        return text && getEffectName(text) ? 1 : 0;
    case effGetVendorString:
        return text && getVendorString(text) ? 1 : 0;
    case effGetProductString:
        return text && getProductString(text) ? 1 : 0;
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return text ? canDo(text) : 0;
    case effGetTailSize:
        return getGetTailSize();
    case effGetParameterProperties:
        return ptr && getParameterProperties(index, ptr) ? 1 : 0;
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp:
        if (editor) {
            VstKeyCode key;
            key.character = index;
            key.virt = static_cast<uint8_t>(value & 0xFF);
            key.modifier = modifierBits(opt);
            bool consumed = opcode == effEditKeyDown ? editor->onKeyDown(key) : editor->onKeyUp(key);
            return consumed ? 1 : 0;
        }
        return 0;
    case effSetEditKnobMode:
        if (editor)
            return editor->setKnobMode(static_cast<int>(value)) ? 1 : 0;
        return 0;
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, ptr);
    case effBeginSetProgram:
        return beginSetProgram() ? 1 : 0;
    case effEndSetProgram:
        return endSetProgram() ? 1 : 0;
    case effGetSpeakerArrangement:
        return getSpeakerArrangement(reinterpret_cast<void**>(value), static_cast<void**>(ptr)) ? 1
                                                                                               : 0;
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(value);
    case effSetPanLaw:
        return setPanLaw(static_cast<int32_t>(value), opt) ? 1 : 0;
    case effBeginLoadBank:
        return beginLoadBank(ptr);
    case effBeginLoadProgram:
        return beginLoadProgram(ptr);
    case effSetProcessPrecision:
        return setProcessPrecision(static_cast<int32_t>(value)) ? 1 : 0;
    case effGetNumMidiInputChannels:
        return getNumMidiInputChannels();
    case effGetNumMidiOutputChannels:
        return getNumMidiOutputChannels();
    default:
        // Offline processing, MIDI program names, shell plug-ins and the
        // deprecated numbers: nothing to do.
        return 0;
    }
}

void AudioEffectX::resume()
{
    applyMidiRule();
}

bool AudioEffectX::canParameterBeAutomated(int32_t)
{
    return true;
}

bool AudioEffectX::string2parameter(int32_t, char*)
{
    return false;
}

bool AudioEffectX::getParameterProperties(int32_t, void*)
{
    return false;
}

bool AudioEffectX::beginEdit(int32_t index)
{
    return callHost(audioMasterBeginEdit, index) != 0;
}

bool AudioEffectX::endEdit(int32_t index)
{
    return callHost(audioMasterEndEdit, index) != 0;
}

bool AudioEffectX::getProgramNameIndexed(int32_t, int32_t, char*)
{
    return false;
}

int32_t AudioEffectX::beginLoadBank(void*)
{
    return 0;
}

int32_t AudioEffectX::beginLoadProgram(void*)
{
    return 0;
}

bool AudioEffectX::getInputProperties(int32_t, void*)
{
    return false;
}

bool AudioEffectX::getOutputProperties(int32_t, void*)
{
    return false;
}

bool AudioEffectX::setSpeakerArrangement(void*, void*)
{
    return false;
}

bool AudioEffectX::getSpeakerArrangement(void** inputs, void** outputs)
{
    if (inputs)
        *inputs = nullptr;
    if (outputs)
        *outputs = nullptr;
    return false;
}

bool AudioEffectX::setBypass(bool)
{
    return false;
}

bool AudioEffectX::setPanLaw(int32_t, float)
{
    return false;
}

bool AudioEffectX::setProcessPrecision(int32_t)
{
    return false;
}

int32_t AudioEffectX::processEvents(void*)
{
    return 0;
}

bool AudioEffectX::processVariableIo(void*)
{
    return false;
}

int32_t AudioEffectX::canHostDo(char* text)
{
    return callHost(audioMasterCanDo, 0, 0, text) != 0 ? 1 : 0;
}

bool AudioEffectX::getEffectName(char*)
{
    return false;
}

bool AudioEffectX::getVendorString(char*)
{
    return false;
}

bool AudioEffectX::getProductString(char*)
{
    return false;
}

intptr_t AudioEffectX::vendorSpecific(int32_t, intptr_t, void*, float)
{
    return 0;
}

int32_t AudioEffectX::canDo(char*)
{
    return 0;
}

int32_t AudioEffectX::getPlugCategory()
{
    return (cEffect.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

int32_t AudioEffectX::getCurrentMidiProgram(int32_t, void*)
{
    return -1;
}

bool AudioEffectX::sizeWindow(int32_t width, int32_t height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

void AudioEffectX::wantEvents(int32_t filter)
{
    callHost(audioMasterWantMidi, 0, filter);
}

void AudioEffectX::applyMidiRule()
{
    char receiveMidi[] = "receiveVstMidiEvent";
    if ((cEffect.flags & effFlagsIsSynth) || canDo(receiveMidi) == 1)
        wantEvents(1);
}

}  // namespace ka813
