#include "shell/Ka813.h"

#include <cmath>
#include <cstring>
#include <new>

#include "shell/AEffEditor.h"
#include "shell/BoundedCopy.h"
#include "shell/EditorFactory.h"
#include "shell/Float2String.h"
#include "shell/Vst2Identity.h"

using namespace ka813;

namespace {
using Lock = std::lock_guard<std::mutex>;
}

Ka813::Ka813(audioMasterCallback audioMaster)
    : AudioEffectX(audioMaster, kNumPrograms, kNumParameters)
{
    // The bank starts at its defaults; program 0 sets every parameter, and
    // the model starts settled at the rate the effect assumes until the host
    // says otherwise. Nothing else can reach the effect yet.
    for (int32_t i = 0; i < kNumParameters; ++i)
        parameterValues[i].store(parameterInfo(i)->defaultValue, std::memory_order_relaxed);
    std::memset(chunkCopy, 0, sizeof chunkCopy);
    Changes changes;
    applyProgram(0, changes);
    amp.start(controls, hostRate);

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

void Ka813::setSampleRate(float newRate)
{
    // A rate of 0 (some hosts send it before they know theirs), a negative
    // or a non-finite one would make every coefficient meaningless.
    if (!(newRate > 0.f) || !std::isfinite(newRate))
        return;
    Lock lock(controlMutex);
    AudioEffect::setSampleRate(newRate);
    hostRate = newRate;
    handOver();
}

void Ka813::suspend()
{
    Lock lock(controlMutex);
    audioRunning.store(false, std::memory_order_relaxed);
    // What came in during the last blocks reaches the model now.
    Lease lease(modelHolder, Lease::kControl);
    if (lease)
        takeHandover();
}

// The host starts the stream anew: the model starts from its quiet state, so
// what it plays does not depend on what it played before the stop.
void Ka813::resume()
{
    {
        Lock lock(controlMutex);
        Lease lease(modelHolder, Lease::kControl);
        if (lease) {
            takeHandover();
            amp.settle();
        }
    }
    audioRunning.store(true, std::memory_order_relaxed);
    AudioEffectX::resume();
}

void Ka813::processReplacing(float** inputs, float** outputs, int32_t sampleFrames)
{
    if (!inputs || !outputs || !inputs[0] || !outputs[0] || !outputs[1] || sampleFrames <= 0)
        return;
    audioRunning.store(true, std::memory_order_relaxed);
    Lease lease(modelHolder, Lease::kAudio);
    if (!lease) {
        // Only a host that processes before it resumes, while another of its
        // threads changes the effect, gets here: one silent block.
        std::memset(outputs[0], 0, sizeof(float) * static_cast<size_t>(sampleFrames));
        std::memset(outputs[1], 0, sizeof(float) * static_cast<size_t>(sampleFrames));
        return;
    }
    takeHandover();
    // A host without a second input buffer gets the first on both sides.
    const float* sides[2] = {inputs[0], inputs[1] ? inputs[1] : inputs[0]};
    amp.processBlock(sides, outputs, sampleFrames);
}

// The newest settings published, into the model. Called only by whoever
// holds the model's lease.
void Ka813::takeHandover()
{
    if (const ModelRequest* request = handover.take())
        amp.change(request->settings, request->hostRate);
}

// With controlMutex held: the settings as they now stand go to the model,
// at once when no audio can be running.
void Ka813::handOver()
{
    handover.publish({controls, hostRate});
    if (audioRunning.load(std::memory_order_relaxed))
        return;
    Lease lease(modelHolder, Lease::kControl);
    if (lease)
        takeHandover();
}

// The mode that plays, and each channel's own mode, from the switches as
// setParameter last applied them.
AmpMode Ka813::activeMode() const
{
    return controls.channelB == 1 ? channelBMode() : channelAMode();
}

AmpMode Ka813::channelAMode() const
{
    return controls.crunchA == 1 ? kModeACrunch : kModeAClean;
}

AmpMode Ka813::channelBMode() const
{
    return controls.highGainB == 1 ? kModeBHighGain : kModeBLowGain;
}

void Ka813::setParameter(int32_t index, float value)
{
    changeParameter(index, value, false);
}

void Ka813::setParameterAutomated(int32_t index, float value)
{
    changeParameter(index, value, true);
}

void Ka813::changeParameter(int32_t index, float value, bool automated)
{
    Changes changes;
    Changes recalled;
    if (parameterInfo(index)) {
        Lock lock(controlMutex);
        float before[kNumParameters];
        for (int32_t i = 0; i < kNumParameters; ++i)
            before[i] = parameterValues[i].load(std::memory_order_relaxed);
        applyParameter(index, value, changes);
        handOver();
        // What a mode switch brought back, for the host to record too.
        for (int32_t i = 0; i < kNumParameters; ++i) {
            const float now = parameterValues[i].load(std::memory_order_relaxed);
            if (i != index && std::memcmp(&before[i], &now, sizeof now) != 0)
                recalled.add(i, now);
        }
    } else {
        changes.add(index, value);
    }
    // Outside the lock: the editor and the host may call back.
    tellEditor(changes);
    if (automated)
        callHost(audioMasterAutomate, index, 0, nullptr, value);
    for (int32_t i = 0; i < recalled.count; ++i)
        callHost(audioMasterAutomate, recalled.items[i].index, 0, nullptr, recalled.items[i].value);
}

void Ka813::tellEditor(const Changes& changes)
{
    if (!editor)
        return;
    for (int32_t i = 0; i < changes.count; ++i)
        editor->setParameter(changes.items[i].index, changes.items[i].value);
}

void Ka813::applyParameter(int32_t index, float value, Changes& changes)
{
    bank.setValue(currentProgram.load(std::memory_order_relaxed), index, value);
    parameterValues[index].store(value, std::memory_order_relaxed);
    rememberInModeMemory(index, value);
    applyToSettings(index, value);
    recallAfter(index, changes);
    // The editor mirrors every change, whoever made it.
    changes.add(index, value);
}

// A mode switch brings back the settings its new mode remembers.
void Ka813::recallAfter(int32_t index, Changes& changes)
{
    switch (index) {
    case kParamChannel:
        recall(activeMode(), kChannelRecall, changes);
        break;
    case kParamCleanCrunch:
        if (controls.channelB == 0)
            recall(channelAMode(), kChannelARecall, changes);
        break;
    case kParamLowHighGain:
        if (controls.channelB == 1)
            recall(channelBMode(), kChannelBRecall, changes);
        break;
    default:
        break;
    }
}

void Ka813::rememberInModeMemory(int32_t index, float value)
{
    const int32_t program = currentProgram.load(std::memory_order_relaxed);
    switch (parameterInfo(index)->memory) {
    case ModeMemory::ActiveMode:
        bank.setMemoryValue(program, activeMode(), index, value);
        break;
    case ModeMemory::ChannelA:
        bank.setMemoryValue(program, channelAMode(), index, value);
        break;
    case ModeMemory::ChannelB:
        bank.setMemoryValue(program, channelBMode(), index, value);
        break;
    case ModeMemory::Unshared:
        break;
    }
}

// Each recalled value goes through the whole parameter path, so it reaches
// the record, the model and the editor like any other change.
template <size_t N>
void Ka813::recall(AmpMode mode, const int32_t (&indices)[N], Changes& changes)
{
    const int32_t program = currentProgram.load(std::memory_order_relaxed);
    for (int32_t index : indices)
        applyParameter(index, bank.memoryValue(program, mode, index), changes);
}

void Ka813::applyToSettings(int32_t index, float value)
{
    const double position = value;
    const int32_t on = switchIsOn(value) ? 1 : 0;
    AmpSettings& s = controls;
    switch (index) {
    case kParamInput: s.setInputLevel(position); break;
    case kParamChannel: s.setChannelB(on); break;
    case kParamCleanCrunch: s.setCrunchA(on); break;
    case kParamLowHighGain: s.setHighGainB(on); break;
    case kParamDriveA: s.setDriveA(position); break;
    case kParamLowA: s.setLowA(position); break;
    case kParamMidA: s.setMidA(position); break;
    case kParamHighA: s.setHighA(position); break;
    case kParamContourA: s.setContourA(position); break;
    case kParamFocusA: s.setFocusA(on); break;
    case kParamBottomA: s.setBottomA(on); break;
    case kParamBrightA: s.setBrightA(on); break;
    case kParamDriveB: s.setDriveB(position); break;
    case kParamLowB: s.setLowB(position); break;
    case kParamMidB: s.setMidB(position); break;
    case kParamHighB: s.setHighB(position); break;
    case kParamContourB: s.setContourB(position); break;
    case kParamFocusB: s.setFocusB(on); break;
    case kParamBottomB: s.setBottomB(on); break;
    case kParamBrightB: s.setBrightB(on); break;
    case kParamVolume: s.setVolume(value); break;
    case kParamStereo: s.setStereo(on); break;
    case kParamHighQuality: s.setHighQuality(on); break;
    default: break;
    }
}

float Ka813::getParameter(int32_t index)
{
    if (index < 0 || index >= kNumParameters)
        return 0.f;
    return parameterValues[index].load(std::memory_order_relaxed);
}

int32_t Ka813::getProgram()
{
    return currentProgram.load(std::memory_order_relaxed);
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

// With controlMutex held. A program is applied as it is stored: every
// value, switch and mode memory straight from the record, the switches
// before the knobs whose meaning they set, and nothing recalled or written
// back, so the result depends on the record alone.
void Ka813::applyProgram(int32_t program, Changes& changes)
{
    curProgram = program;
    currentProgram.store(program, std::memory_order_relaxed);
    for (int32_t index : kProgramApplyOrder) {
        const float value = bank.value(program, index);
        parameterValues[index].store(value, std::memory_order_relaxed);
        applyToSettings(index, value);
        changes.add(index, value);
    }
}

void Ka813::setProgram(int32_t program)
{
    if (program < 0 || program >= kNumPrograms)
        return;
    Changes changes;
    {
        Lock lock(controlMutex);
        applyProgram(program, changes);
        handOver();
    }
    tellLoaded(changes);
}

// After a load the editor hears every value, and the host is asked to read
// them all again along with the program names.
void Ka813::tellLoaded(const Changes& changes)
{
    tellEditor(changes);
    callHost(audioMasterUpdateDisplay);
}

void Ka813::setProgramName(char* name)
{
    Lock lock(controlMutex);
    bank.setName(currentProgram.load(std::memory_order_relaxed), name);
}

void Ka813::getProgramName(char* name)
{
    Lock lock(controlMutex);
    copyPadded(name, bank.nameField(currentProgram.load(std::memory_order_relaxed)),
               kProgramNameSize);
}

bool Ka813::getProgramNameIndexed(int32_t, int32_t index, char* text)
{
    if (index < 0 || index >= kNumPrograms)
        return false;
    Lock lock(controlMutex);
    const int32_t length = bank.nameLength(index);
    std::memcpy(text, bank.nameField(index), static_cast<size_t>(length));
    text[length] = 0;
    return true;
}

// The host reads the bytes in place; they stay the effect's. A copy of the
// whole bank, taken in one piece, so a program chunk sits at its program's
// place in it as in the bank.
int32_t Ka813::getChunk(void** data, bool isPreset)
{
    Lock lock(controlMutex);
    std::memcpy(chunkCopy, bank.bank(), sizeof chunkCopy);
    if (isPreset) {
        *data = chunkCopy + currentProgram.load(std::memory_order_relaxed) * kProgramRecordSize;
        return kProgramRecordSize;
    }
    *data = chunkCopy;
    return kBankSize;
}

int32_t Ka813::setChunk(void* data, int32_t byteSize, bool isPreset)
{
    if (!data)
        return 0;
    const int32_t size = isPreset ? kProgramRecordSize : kBankSize;
    if (byteSize != size)
        return 0;
    Changes changes;
    {
        Lock lock(controlMutex);
        const int32_t program = currentProgram.load(std::memory_order_relaxed);
        unsigned char* target = isPreset ? bank.record(program) : bank.bank();
        // The host may hand back the very bytes getChunk showed it.
        std::memmove(target, data, static_cast<size_t>(size));
        applyProgram(program, changes);
        handOver();
    }
    tellLoaded(changes);
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
